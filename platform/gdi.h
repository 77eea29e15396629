#pragma once
// Drawing contexts and drawing objects: the software rasteriser that every
// window, control and the program itself paint through.
//
// A drawing context (HDc) draws either onto a region of a Surface (the screen:
// the window code makes one per window client area) or into a memory bitmap
// (a "compatible" context). It carries the selected pen, brush, font and, for
// memory contexts, bitmap, plus text colour, background colour and background
// mode. Coordinates given to a context are logical: for a surface context the
// point (0, 0) is the context's origin on the surface (the client area's top
// left), for a memory context the bitmap's top left.
//
// Every drawing call clips to the context's clip rectangle and to its surface;
// nothing is ever written outside either, whatever coordinates come in.
//
// Objects (HObj: pens, brushes, fonts, bitmaps) are owned by whoever created
// them until DeleteObject. Stock objects belong to the platform: deleting one
// does nothing. Deleting an object that is still selected into a context is
// allowed: it stays alive until it is no longer selected anywhere, then goes.
// Handles are checked: a handle that is not a live object of the right kind
// makes the call fail harmlessly (false, null or 0) instead of crashing.
//
// All of this is for the GUI thread only.

#include <cstdint>
#include <span>

#include "platform/handles.h"
#include "platform/surface.h"

namespace pf {

struct Size {
  int cx = 0;
  int cy = 0;
};

// ---------------------------------------------------------------------------
// Contexts

// A context drawing onto `surface` (not owned; it must outlive the context).
// `origin` is where logical (0, 0) lies on the surface; `clip` is the part of
// the surface the context may touch, in surface coordinates (it is further
// limited to the surface's bounds). Defaults: black pen, white brush, system
// font, text black, background white, background opaque. Null when `surface`
// is null.
HDc CreateSurfaceDc(Surface* surface, Point origin, Rect clip);

// Moves a surface context (the window moved or a paint began on part of it).
// Both in surface coordinates. False for a memory context or a bad handle.
bool SetDcOrigin(HDc dc, Point origin);
bool SetDcClip(HDc dc, Rect clip);
Point GetDcOrigin(HDc dc);
// The clip rectangle in logical coordinates (what may be drawn), already cut
// to the surface or bitmap; empty for a bad handle.
Rect GetClipBox(HDc dc);

// A memory context, "compatible" with `dc` (which may be null: the screen).
// It starts with the stock 1 x 1 monochrome bitmap selected; select a bitmap
// into it to draw into or copy from that bitmap. Null when out of memory.
HDc CreateCompatibleDc(HDc dc);

// Deletes a context of either kind. The objects selected into it are released
// from it (an object deleted while selected goes now). False for a bad handle.
bool DeleteDc(HDc dc);

// ---------------------------------------------------------------------------
// Objects

enum class StockObject {
  WhiteBrush,
  LightGrayBrush,  // 0xC0C0C0
  GrayBrush,       // 0x808080
  DarkGrayBrush,   // 0x404040
  BlackBrush,
  NullBrush,  // fills nothing
  WhitePen,
  BlackPen,
  NullPen,     // draws nothing
  SystemFont,  // the default face at the default size (see font.h)
  DefaultBitmap,  // 1 x 1 monochrome; what a new memory context holds
};
HObj GetStockObject(StockObject which);

enum class ObjectKind { None, Pen, Brush, Font, Bitmap };
// The kind of a live object, None for anything else.
ObjectKind GetObjectKind(HObj obj);

// Selects a pen, brush, font or bitmap into the context and returns the object
// of the same kind selected before (the caller puts it back when done). Null,
// and nothing changes, for a bad context or object. A bitmap can be selected
// only into a memory context and only into one context at a time; selecting
// one that is held by another context fails (null).
HObj SelectObject(HDc dc, HObj obj);
// The object of that kind now selected, or null.
HObj GetCurrentObject(HDc dc, ObjectKind kind);

// Deletes an object (see the ownership rules above). False for a bad handle.
// Stock objects are not deleted; the call returns true.
bool DeleteObject(HObj obj);

enum class PenStyle { Solid = 0, Null = 5 };
// A pen. Only pens one pixel wide are supported: width 0 or 1 is one pixel,
// any other width gives null.
HPen CreatePen(PenStyle style, int width, ColorRef color);
HBrush CreateSolidBrush(ColorRef color);

// ---------------------------------------------------------------------------
// Colours and modes

enum class BkMode { Transparent = 1, Opaque = 2 };

// Each setter returns the previous value (0 / Opaque for a bad handle).
ColorRef SetTextColor(HDc dc, ColorRef color);
ColorRef GetTextColor(HDc dc);
ColorRef SetBkColor(HDc dc, ColorRef color);
ColorRef GetBkColor(HDc dc);
BkMode SetBkMode(HDc dc, BkMode mode);
BkMode GetBkMode(HDc dc);

// ---------------------------------------------------------------------------
// Drawing. Rectangles are half-open: right and bottom are not drawn.

// Fills `rect` with `brush` (any brush, selected or not). False for a bad
// handle; an empty rectangle draws nothing and returns true.
bool FillRect(HDc dc, const Rect& rect, HBrush brush);

// Draws a rectangle: the outline, one pixel inside (left, top)-(right, bottom),
// with the selected pen, and the inside with the selected brush. With the null
// pen the brush fills the whole rectangle. A rectangle one pixel high is a
// horizontal line of the pen's colour.
bool DrawRectangle(HDc dc, int left, int top, int right, int bottom);

// Lines for rules: MoveTo sets the current position, LineTo draws with the
// selected pen from there to (x, y), without the end point, and moves there.
// A slanted line is drawn for at most its first 131072 steps.
bool MoveTo(HDc dc, int x, int y, Point* previous = nullptr);
bool LineTo(HDc dc, int x, int y);

// One pixel. SetPixel returns false when the point is clipped away.
bool SetPixel(HDc dc, int x, int y, ColorRef color);
// The colour at (x, y), or kInvalidColor when outside the context.
constexpr ColorRef kInvalidColor = 0xFFFFFFFF;
ColorRef GetPixel(HDc dc, int x, int y);

// Raster operations of bit copies and pattern fills: the platform's values.
enum class RasterOp : std::uint32_t {
  SrcCopy = 0x00CC0020,    // dest = source
  SrcPaint = 0x00EE0086,   // dest = source OR dest
  SrcAnd = 0x008800C6,     // dest = source AND dest
  SrcInvert = 0x00660046,  // dest = source XOR dest
  NotSrcCopy = 0x00330008, // dest = NOT source
  DstInvert = 0x00550009,  // dest = NOT dest
  PatCopy = 0x00F00021,    // dest = selected brush
  Blackness = 0x00000042,  // dest = black
  Whiteness = 0x00FF0062,  // dest = white
};

// Copies the w x h block at (sx, sy) of `src` to (x, y) of `dst`. The source
// part outside `src`'s surface or bitmap is not copied. When the source is a
// monochrome bitmap, its black pixels become `dst`'s text colour and its white
// pixels `dst`'s background colour. When the destination is a monochrome
// bitmap, source pixels equal to `src`'s background colour become white and
// all others black. `src` may be null only for the operations that need no
// source (DstInvert, PatCopy, Blackness, Whiteness). False for a bad handle or
// an operation not listed above.
bool BitBlt(HDc dst, int x, int y, int w, int h, HDc src, int sx, int sy, RasterOp rop);

// Fills a w x h block with an operation that needs no source.
bool PatBlt(HDc dc, int x, int y, int w, int h, RasterOp rop);

// ---------------------------------------------------------------------------
// Bitmaps

// A colour bitmap of w x h pixels (white), to select into a memory context.
// Null for a size of 0 or less or above kMaxSurfaceSide, or without memory.
// `dc` is accepted for symmetry with the platform and may be null.
HBitmap CreateCompatibleBitmap(HDc dc, int w, int h);

// A bitmap decoded from the bytes of a BMP file (with its 14-byte file header,
// as resources store them): 1, 4, 8, 24 and 32 bits per pixel, uncompressed,
// bottom-up or top-down, with palette. A 1-bit BMP becomes a monochrome bitmap
// (each pixel black or white by its palette entry's brightness). Damaged or
// unsupported data gives null, never a read outside `bytes`.
HBitmap CreateBitmapFromBmp(std::span<const std::uint8_t> bytes);

// The bitmap resource with this number (pf::FindBitmapResource), decoded as
// above; null when missing or damaged. The caller deletes it.
HBitmap LoadBitmapResource(unsigned id);

struct BitmapInfo {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;  // as stored: 1, 4, 8, 24, 32; 32 for compatible bitmaps
  bool monochrome = false;
};
// False for a bad handle.
bool GetBitmapInfo(HBitmap bitmap, BitmapInfo* info);

// The pixels of a bitmap (0x00RRGGBB; a monochrome bitmap holds only 0 and
// 0xFFFFFF), not owned, valid until the bitmap is deleted. Null for a bad
// handle. For presenters and tests.
const Surface* GetBitmapSurface(HBitmap bitmap);

// ---------------------------------------------------------------------------
// Device

// Vertical pixels per inch of the screen: 96 unless set otherwise.
int GetPixelsPerInchY(HDc dc);
void SetScreenPixelsPerInch(int ppi);

}  // namespace pf
