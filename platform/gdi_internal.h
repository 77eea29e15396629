#pragma once
// The inside of drawing contexts and objects, shared by the drawing code
// (gdi.cpp, bmp.cpp) and the text code (font.cpp). Not for use elsewhere.

#include <algorithm>
#include <cstdint>
#include <memory>

#include "platform/font.h"
#include "platform/gdi.h"

namespace pf {

struct FontData;  // font.cpp: a face at a pixel size, with its glyph cache

}  // namespace pf

struct pf::GdiObject {
  ObjectKind kind = ObjectKind::None;
  bool stock = false;
  bool deletePending = false;  // deleted while selected: goes when released
  int selections = 0;          // how many contexts hold it selected

  // Pen and brush.
  ColorRef color = 0;
  bool nullStyle = false;  // null pen / null brush

  // Font: the description asked for, and the face it resolved to.
  FontDescription description;
  std::shared_ptr<FontData> font;
  unsigned resolvedGeneration = 0;  // stock font: re-resolved when the default face changes

  // Bitmap.
  Surface pixels;
  int bitsPerPixel = 32;
  bool monochrome = false;
  DrawContext* selectedIn = nullptr;
};

struct pf::DrawContext {
  bool memory = false;
  Surface* surface = nullptr;  // not owned; for a memory context the bitmap's pixels
  Point origin;                // surface position of logical (0, 0)
  Rect clip;                   // surface coordinates, as set (not yet cut to the surface)

  GdiObject* pen = nullptr;
  GdiObject* brush = nullptr;
  GdiObject* font = nullptr;
  GdiObject* bitmap = nullptr;

  ColorRef textColor = 0x000000;
  ColorRef bkColor = 0xFFFFFF;
  BkMode bkMode = BkMode::Opaque;
  Point position;  // for MoveTo / LineTo
};

namespace pf::detail {

inline Rect Intersect(const Rect& a, const Rect& b) {
  Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (r.Empty()) return Rect{};
  return r;
}

// The live context behind a handle, or null.
DrawContext* CheckDc(HDc dc);
// The live object of that kind behind a handle (stock objects included), or null.
GdiObject* CheckObject(HObj obj, ObjectKind kind);

// The part of the surface the context may write, in surface coordinates
// (empty when there is nothing to draw on).
Rect DeviceClip(const DrawContext& dc);

// Fills a rectangle given in surface coordinates, already clipped.
void FillDevice(Surface& surface, const Rect& r, Pixel p);

// Clamps a logical coordinate computation into int range.
inline int ClampAdd(int a, int b) {
  const long long v = static_cast<long long>(a) + b;
  if (v > 0x3FFFFFFF) return 0x3FFFFFFF;
  if (v < -0x3FFFFFFF) return -0x3FFFFFFF;
  return static_cast<int>(v);
}

// Logical rectangle to surface coordinates (with overflow clamped).
inline Rect ToDevice(const DrawContext& dc, const Rect& r) {
  return Rect{ClampAdd(r.left, dc.origin.x), ClampAdd(r.top, dc.origin.y),
              ClampAdd(r.right, dc.origin.x), ClampAdd(r.bottom, dc.origin.y)};
}

// The font selected into a context, resolved (stock font follows the default
// face); null when there is none. font.cpp.
FontData* SelectedFont(DrawContext& dc);
// Makes the stock system font object (font.cpp).
void InitStockFont(GdiObject& object);

// Decodes BMP bytes into a bitmap object; null when damaged (bmp.cpp).
std::unique_ptr<GdiObject> DecodeBmp(const std::uint8_t* data, std::size_t size);

// Registers a new object as live and returns its handle.
HObj AdoptObject(std::unique_ptr<GdiObject> object);

}  // namespace pf::detail
