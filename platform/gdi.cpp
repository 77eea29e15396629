#include "platform/gdi.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>
#include <unordered_set>
#include <vector>

#include "platform/gdi_internal.h"
#include "platform/resource.h"

namespace pf {
namespace {

constexpr Pixel kWhite = 0xFFFFFF;

std::unordered_set<DrawContext*>& LiveDcs() {
  static std::unordered_set<DrawContext*> live;
  return live;
}

std::unordered_set<GdiObject*>& LiveObjects() {
  static std::unordered_set<GdiObject*> live;
  return live;
}

int screenPixelsPerInch = 96;

constexpr std::size_t kStockCount = static_cast<std::size_t>(StockObject::DefaultBitmap) + 1;

GdiObject* MakeStock(StockObject which) {
  auto* object = new GdiObject;
  object->stock = true;
  auto brush = [&](ColorRef color) {
    object->kind = ObjectKind::Brush;
    object->color = color;
  };
  auto pen = [&](ColorRef color) {
    object->kind = ObjectKind::Pen;
    object->color = color;
  };
  switch (which) {
    case StockObject::WhiteBrush: brush(0xFFFFFF); break;
    case StockObject::LightGrayBrush: brush(0xC0C0C0); break;
    case StockObject::GrayBrush: brush(0x808080); break;
    case StockObject::DarkGrayBrush: brush(0x404040); break;
    case StockObject::BlackBrush: brush(0x000000); break;
    case StockObject::NullBrush:
      brush(0);
      object->nullStyle = true;
      break;
    case StockObject::WhitePen: pen(0xFFFFFF); break;
    case StockObject::BlackPen: pen(0x000000); break;
    case StockObject::NullPen:
      pen(0);
      object->nullStyle = true;
      break;
    case StockObject::SystemFont:
      object->kind = ObjectKind::Font;
      detail::InitStockFont(*object);
      break;
    case StockObject::DefaultBitmap:
      object->kind = ObjectKind::Bitmap;
      object->pixels = Surface(1, 1, 0);
      object->bitsPerPixel = 1;
      object->monochrome = true;
      break;
  }
  LiveObjects().insert(object);
  return object;
}

GdiObject* Stock(StockObject which) {
  static std::array<GdiObject*, kStockCount> stock{};
  GdiObject*& slot = stock[static_cast<std::size_t>(which)];
  if (!slot) slot = MakeStock(which);
  return slot;
}

void Hold(GdiObject* object) {
  if (object) ++object->selections;
}

// Lets go of one selection; an object deleted while selected goes now.
void Release(GdiObject* object) {
  if (!object) return;
  --object->selections;
  if (object->selections <= 0 && object->deletePending) delete object;
}

void FreeDc(DrawContext* dc) {
  Release(dc->pen);
  Release(dc->brush);
  Release(dc->font);
  if (dc->bitmap) {
    dc->bitmap->selectedIn = nullptr;
    Release(dc->bitmap);
  }
  delete dc;
}

void InitDefaults(DrawContext& dc) {
  dc.pen = Stock(StockObject::BlackPen);
  dc.brush = Stock(StockObject::WhiteBrush);
  dc.font = Stock(StockObject::SystemFont);
  Hold(dc.pen);
  Hold(dc.brush);
  Hold(dc.font);
}

// Fills a logical rectangle with a colour, clipped.
void FillLogical(DrawContext& dc, const Rect& r, Pixel p) {
  if (!dc.surface) return;
  const Rect d = detail::Intersect(detail::ToDevice(dc, r), detail::DeviceClip(dc));
  if (!d.Empty()) detail::FillDevice(*dc.surface, d, p);
}

void PlotLogical(DrawContext& dc, int x, int y, Pixel p) {
  if (!dc.surface) return;
  const Point d{detail::ClampAdd(x, dc.origin.x), detail::ClampAdd(y, dc.origin.y)};
  if (detail::DeviceClip(dc).Contains(d)) dc.surface->Row(d.y)[d.x] = p;
}

bool NeedsSource(RasterOp rop) {
  switch (rop) {
    case RasterOp::SrcCopy:
    case RasterOp::SrcPaint:
    case RasterOp::SrcAnd:
    case RasterOp::SrcInvert:
    case RasterOp::NotSrcCopy:
      return true;
    default:
      return false;
  }
}

bool KnownRop(RasterOp rop) {
  switch (rop) {
    case RasterOp::SrcCopy:
    case RasterOp::SrcPaint:
    case RasterOp::SrcAnd:
    case RasterOp::SrcInvert:
    case RasterOp::NotSrcCopy:
    case RasterOp::DstInvert:
    case RasterOp::PatCopy:
    case RasterOp::Blackness:
    case RasterOp::Whiteness:
      return true;
  }
  return false;
}

Pixel Combine(RasterOp rop, Pixel src, Pixel dst, Pixel pattern) {
  switch (rop) {
    case RasterOp::SrcCopy: return src;
    case RasterOp::SrcPaint: return src | dst;
    case RasterOp::SrcAnd: return src & dst;
    case RasterOp::SrcInvert: return (src ^ dst) & kWhite;
    case RasterOp::NotSrcCopy: return ~src & kWhite;
    case RasterOp::DstInvert: return ~dst & kWhite;
    case RasterOp::PatCopy: return pattern;
    case RasterOp::Blackness: return 0;
    case RasterOp::Whiteness: return kWhite;
  }
  return dst;
}

bool DestIsMono(const DrawContext& dc) { return dc.bitmap && dc.bitmap->monochrome; }

}  // namespace

namespace detail {

DrawContext* CheckDc(HDc dc) {
  if (!dc) return nullptr;
  return LiveDcs().count(dc) ? dc : nullptr;
}

GdiObject* CheckObject(HObj obj, ObjectKind kind) {
  if (!obj || !LiveObjects().count(obj)) return nullptr;
  if (kind != ObjectKind::None && obj->kind != kind) return nullptr;
  return obj;
}

Rect DeviceClip(const DrawContext& dc) {
  if (!dc.surface) return Rect{};
  return Intersect(dc.clip, dc.surface->Bounds());
}

void FillDevice(Surface& surface, const Rect& r, Pixel p) {
  for (int y = r.top; y < r.bottom; ++y) {
    Pixel* row = surface.Row(y);
    std::fill(row + r.left, row + r.right, p);
  }
}

HObj AdoptObject(std::unique_ptr<GdiObject> object) {
  if (!object) return nullptr;
  GdiObject* raw = object.release();
  LiveObjects().insert(raw);
  return raw;
}

}  // namespace detail

// ---------------------------------------------------------------------------
// Contexts

HDc CreateSurfaceDc(Surface* surface, Point origin, Rect clip) {
  if (!surface) return nullptr;
  auto* dc = new (std::nothrow) DrawContext;
  if (!dc) return nullptr;
  dc->surface = surface;
  dc->origin = origin;
  dc->clip = clip;
  InitDefaults(*dc);
  LiveDcs().insert(dc);
  return dc;
}

bool SetDcOrigin(HDc handle, Point origin) {
  DrawContext* dc = detail::CheckDc(handle);
  if (!dc || dc->memory) return false;
  dc->origin = origin;
  return true;
}

bool SetDcClip(HDc handle, Rect clip) {
  DrawContext* dc = detail::CheckDc(handle);
  if (!dc || dc->memory) return false;
  dc->clip = clip;
  return true;
}

Point GetDcOrigin(HDc handle) {
  DrawContext* dc = detail::CheckDc(handle);
  return dc ? dc->origin : Point{};
}

Rect GetClipBox(HDc handle) {
  DrawContext* dc = detail::CheckDc(handle);
  if (!dc) return Rect{};
  const Rect d = detail::DeviceClip(*dc);
  if (d.Empty()) return Rect{};
  return Rect{d.left - dc->origin.x, d.top - dc->origin.y, d.right - dc->origin.x,
              d.bottom - dc->origin.y};
}

HDc CreateCompatibleDc(HDc) {
  auto* dc = new (std::nothrow) DrawContext;
  if (!dc) return nullptr;
  dc->memory = true;
  InitDefaults(*dc);
  GdiObject* bitmap = Stock(StockObject::DefaultBitmap);
  dc->bitmap = bitmap;
  Hold(bitmap);
  dc->surface = &bitmap->pixels;
  dc->clip = bitmap->pixels.Bounds();
  LiveDcs().insert(dc);
  return dc;
}

bool DeleteDc(HDc handle) {
  DrawContext* dc = detail::CheckDc(handle);
  if (!dc) return false;
  LiveDcs().erase(dc);
  FreeDc(dc);
  return true;
}

// ---------------------------------------------------------------------------
// Objects

HObj GetStockObject(StockObject which) {
  if (static_cast<std::size_t>(which) >= kStockCount) return nullptr;
  return Stock(which);
}

ObjectKind GetObjectKind(HObj obj) {
  GdiObject* object = detail::CheckObject(obj, ObjectKind::None);
  return object ? object->kind : ObjectKind::None;
}

HObj SelectObject(HDc handle, HObj obj) {
  DrawContext* dc = detail::CheckDc(handle);
  GdiObject* object = detail::CheckObject(obj, ObjectKind::None);
  if (!dc || !object) return nullptr;
  GdiObject** slot = nullptr;
  switch (object->kind) {
    case ObjectKind::Pen: slot = &dc->pen; break;
    case ObjectKind::Brush: slot = &dc->brush; break;
    case ObjectKind::Font: slot = &dc->font; break;
    case ObjectKind::Bitmap:
      if (!dc->memory) return nullptr;
      if (object->selectedIn && object->selectedIn != dc && !object->stock) return nullptr;
      slot = &dc->bitmap;
      break;
    case ObjectKind::None: break;
  }
  if (!slot) return nullptr;
  GdiObject* previous = *slot;
  if (previous == object) return previous;
  Hold(object);
  *slot = object;
  if (object->kind == ObjectKind::Bitmap) {
    if (!object->stock) object->selectedIn = dc;
    dc->surface = &object->pixels;
    dc->clip = object->pixels.Bounds();
    if (previous && !previous->stock) previous->selectedIn = nullptr;
  }
  // The previous object may go now if it was deleted while selected; the
  // caller still gets its handle back (it is then no longer a live handle).
  Release(previous);
  return previous;
}

HObj GetCurrentObject(HDc handle, ObjectKind kind) {
  DrawContext* dc = detail::CheckDc(handle);
  if (!dc) return nullptr;
  switch (kind) {
    case ObjectKind::Pen: return dc->pen;
    case ObjectKind::Brush: return dc->brush;
    case ObjectKind::Font: return dc->font;
    case ObjectKind::Bitmap: return dc->bitmap;
    case ObjectKind::None: break;
  }
  return nullptr;
}

bool DeleteObject(HObj obj) {
  GdiObject* object = detail::CheckObject(obj, ObjectKind::None);
  if (!object) return false;
  if (object->stock) return true;
  LiveObjects().erase(object);
  if (object->selections > 0) {
    object->deletePending = true;
  } else {
    delete object;
  }
  return true;
}

HPen CreatePen(PenStyle style, int width, ColorRef color) {
  if (width < 0 || width > 1) return nullptr;
  if (style != PenStyle::Solid && style != PenStyle::Null) return nullptr;
  auto object = std::make_unique<GdiObject>();
  object->kind = ObjectKind::Pen;
  object->color = color & 0xFFFFFF;
  object->nullStyle = style == PenStyle::Null;
  return detail::AdoptObject(std::move(object));
}

HBrush CreateSolidBrush(ColorRef color) {
  auto object = std::make_unique<GdiObject>();
  object->kind = ObjectKind::Brush;
  object->color = color & 0xFFFFFF;
  return detail::AdoptObject(std::move(object));
}

// ---------------------------------------------------------------------------
// Colours and modes

ColorRef SetTextColor(HDc handle, ColorRef color) {
  DrawContext* dc = detail::CheckDc(handle);
  if (!dc) return 0;
  const ColorRef previous = dc->textColor;
  dc->textColor = color & 0xFFFFFF;
  return previous;
}

ColorRef GetTextColor(HDc handle) {
  DrawContext* dc = detail::CheckDc(handle);
  return dc ? dc->textColor : 0;
}

ColorRef SetBkColor(HDc handle, ColorRef color) {
  DrawContext* dc = detail::CheckDc(handle);
  if (!dc) return 0;
  const ColorRef previous = dc->bkColor;
  dc->bkColor = color & 0xFFFFFF;
  return previous;
}

ColorRef GetBkColor(HDc handle) {
  DrawContext* dc = detail::CheckDc(handle);
  return dc ? dc->bkColor : 0;
}

BkMode SetBkMode(HDc handle, BkMode mode) {
  DrawContext* dc = detail::CheckDc(handle);
  if (!dc) return BkMode::Opaque;
  const BkMode previous = dc->bkMode;
  if (mode == BkMode::Transparent || mode == BkMode::Opaque) dc->bkMode = mode;
  return previous;
}

BkMode GetBkMode(HDc handle) {
  DrawContext* dc = detail::CheckDc(handle);
  return dc ? dc->bkMode : BkMode::Opaque;
}

// ---------------------------------------------------------------------------
// Drawing

bool FillRect(HDc handle, const Rect& rect, HBrush brushHandle) {
  DrawContext* dc = detail::CheckDc(handle);
  GdiObject* brush = detail::CheckObject(brushHandle, ObjectKind::Brush);
  if (!dc || !brush) return false;
  if (!brush->nullStyle) FillLogical(*dc, rect, PixelFromColor(brush->color));
  return true;
}

bool DrawRectangle(HDc handle, int left, int top, int right, int bottom) {
  DrawContext* dc = detail::CheckDc(handle);
  if (!dc) return false;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (left == right || top == bottom) return true;
  const bool pen = dc->pen && !dc->pen->nullStyle;
  const bool brush = dc->brush && !dc->brush->nullStyle;
  if (brush) {
    const Rect inside = pen ? Rect{left + 1, top + 1, right - 1, bottom - 1}
                            : Rect{left, top, right, bottom};
    if (!inside.Empty()) FillLogical(*dc, inside, PixelFromColor(dc->brush->color));
  }
  if (pen) {
    const Pixel p = PixelFromColor(dc->pen->color);
    FillLogical(*dc, Rect{left, top, right, top + 1}, p);
    FillLogical(*dc, Rect{left, bottom - 1, right, bottom}, p);
    FillLogical(*dc, Rect{left, top, left + 1, bottom}, p);
    FillLogical(*dc, Rect{right - 1, top, right, bottom}, p);
  }
  return true;
}

bool MoveTo(HDc handle, int x, int y, Point* previous) {
  DrawContext* dc = detail::CheckDc(handle);
  if (!dc) return false;
  if (previous) *previous = dc->position;
  dc->position = Point{x, y};
  return true;
}

bool LineTo(HDc handle, int x, int y) {
  DrawContext* dc = detail::CheckDc(handle);
  if (!dc) return false;
  const Point from = dc->position;
  dc->position = Point{x, y};
  if (!dc->pen || dc->pen->nullStyle || !dc->surface) return true;
  const Pixel p = PixelFromColor(dc->pen->color);
  // Horizontal and vertical rules are spans; anything else is stepped.
  using detail::ClampAdd;
  if (from.y == y) {
    if (x > from.x) {
      FillLogical(*dc, Rect{from.x, y, x, ClampAdd(y, 1)}, p);
    } else if (x < from.x) {
      FillLogical(*dc, Rect{ClampAdd(x, 1), y, ClampAdd(from.x, 1), ClampAdd(y, 1)}, p);
    }
    return true;
  }
  if (from.x == x) {
    if (y > from.y) {
      FillLogical(*dc, Rect{x, from.y, ClampAdd(x, 1), y}, p);
    } else {
      FillLogical(*dc, Rect{x, ClampAdd(y, 1), ClampAdd(x, 1), ClampAdd(from.y, 1)}, p);
    }
    return true;
  }
  // Bresenham, for a bounded number of steps (see gdi.h).
  long long x0 = from.x, y0 = from.y;
  const long long x1 = x, y1 = y;
  const long long dx = std::llabs(x1 - x0), dy = -std::llabs(y1 - y0);
  const long long stepX = x0 < x1 ? 1 : -1, stepY = y0 < y1 ? 1 : -1;
  long long err = dx + dy;
  constexpr long long kMaxLineSteps = 131072;
  for (long long n = 0; n < kMaxLineSteps && !(x0 == x1 && y0 == y1); ++n) {
    if (x0 > -0x3FFFFFFF && x0 < 0x3FFFFFFF && y0 > -0x3FFFFFFF && y0 < 0x3FFFFFFF) {
      PlotLogical(*dc, static_cast<int>(x0), static_cast<int>(y0), p);
    }
    const long long e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += stepX;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += stepY;
    }
  }
  return true;
}

bool SetPixel(HDc handle, int x, int y, ColorRef color) {
  DrawContext* dc = detail::CheckDc(handle);
  if (!dc || !dc->surface) return false;
  const Point d{detail::ClampAdd(x, dc->origin.x), detail::ClampAdd(y, dc->origin.y)};
  if (!detail::DeviceClip(*dc).Contains(d)) return false;
  Pixel p = PixelFromColor(color);
  if (DestIsMono(*dc)) p = p == kWhite ? kWhite : 0;
  dc->surface->Row(d.y)[d.x] = p;
  return true;
}

ColorRef GetPixel(HDc handle, int x, int y) {
  DrawContext* dc = detail::CheckDc(handle);
  if (!dc || !dc->surface) return kInvalidColor;
  const Point d{detail::ClampAdd(x, dc->origin.x), detail::ClampAdd(y, dc->origin.y)};
  if (!detail::DeviceClip(*dc).Contains(d)) return kInvalidColor;
  return ColorFromPixel(dc->surface->Row(d.y)[d.x]);
}

bool BitBlt(HDc dstHandle, int x, int y, int w, int h, HDc srcHandle, int sx, int sy, RasterOp rop) {
  DrawContext* dst = detail::CheckDc(dstHandle);
  if (!dst || !KnownRop(rop)) return false;
  DrawContext* src = nullptr;
  if (NeedsSource(rop)) {
    src = detail::CheckDc(srcHandle);
    if (!src) return false;
  }
  if (w <= 0 || h <= 0 || !dst->surface) return true;

  // Destination block in surface coordinates, cut to the clip.
  Rect d = detail::ToDevice(*dst, Rect{x, y, detail::ClampAdd(x, w), detail::ClampAdd(y, h)});
  d = detail::Intersect(d, detail::DeviceClip(*dst));
  // And to where the source has pixels.
  long long shiftX = 0, shiftY = 0;  // source device = dest device + shift
  if (src) {
    if (!src->surface) return true;
    shiftX = static_cast<long long>(sx) + src->origin.x - (static_cast<long long>(x) + dst->origin.x);
    shiftY = static_cast<long long>(sy) + src->origin.y - (static_cast<long long>(y) + dst->origin.y);
    const Rect s = src->surface->Bounds();
    const long long l = std::max<long long>(d.left, s.left - shiftX);
    const long long t = std::max<long long>(d.top, s.top - shiftY);
    const long long r = std::min<long long>(d.right, s.right - shiftX);
    const long long b = std::min<long long>(d.bottom, s.bottom - shiftY);
    if (l >= r || t >= b) return true;
    d = Rect{static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b)};
  }
  if (d.Empty()) return true;

  const bool dstMono = DestIsMono(*dst);
  Pixel pattern = 0;
  if (rop == RasterOp::PatCopy) {
    if (!dst->brush || dst->brush->nullStyle) return true;
    pattern = PixelFromColor(dst->brush->color);
  }

  // Source pixels converted to what the destination holds. A copy within one
  // surface may overlap: read the whole block before writing.
  const int bw = d.Width();
  std::vector<Pixel> block;
  if (src) {
    const bool srcMono = src->bitmap && src->bitmap->monochrome;
    const Pixel text = PixelFromColor(dst->textColor);
    const Pixel bk = PixelFromColor(dst->bkColor);
    const Pixel srcBk = PixelFromColor(src->bkColor);
    block.resize(static_cast<std::size_t>(bw) * static_cast<std::size_t>(d.Height()));
    for (int row = d.top; row < d.bottom; ++row) {
      const Pixel* in = src->surface->Row(static_cast<int>(row + shiftY)) + (d.left + shiftX);
      Pixel* out = block.data() + static_cast<std::size_t>(row - d.top) * static_cast<std::size_t>(bw);
      for (int i = 0; i < bw; ++i) {
        Pixel p = in[i];
        if (srcMono && !dstMono) {
          p = p == kWhite ? bk : text;
        } else if (dstMono && !srcMono) {
          p = p == srcBk ? kWhite : 0;
        }
        out[i] = p;
      }
    }
  }
  for (int row = d.top; row < d.bottom; ++row) {
    Pixel* out = dst->surface->Row(row) + d.left;
    const Pixel* in =
        src ? block.data() + static_cast<std::size_t>(row - d.top) * static_cast<std::size_t>(bw) : nullptr;
    if (rop == RasterOp::SrcCopy) {
      std::copy(in, in + bw, out);
      continue;
    }
    for (int i = 0; i < bw; ++i) {
      Pixel p = Combine(rop, in ? in[i] : 0, out[i], pattern);
      if (dstMono) p = p == kWhite ? kWhite : 0;
      out[i] = p;
    }
  }
  return true;
}

bool PatBlt(HDc dc, int x, int y, int w, int h, RasterOp rop) {
  if (NeedsSource(rop)) return false;
  return BitBlt(dc, x, y, w, h, nullptr, 0, 0, rop);
}

// ---------------------------------------------------------------------------
// Bitmaps

HBitmap CreateCompatibleBitmap(HDc, int w, int h) {
  if (w <= 0 || h <= 0 || w > kMaxSurfaceSide || h > kMaxSurfaceSide) return nullptr;
  auto object = std::unique_ptr<GdiObject>(new (std::nothrow) GdiObject);
  if (!object) return nullptr;
  object->kind = ObjectKind::Bitmap;
  try {
    object->pixels = Surface(w, h, kWhite);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  object->bitsPerPixel = 32;
  return detail::AdoptObject(std::move(object));
}

HBitmap CreateBitmapFromBmp(std::span<const std::uint8_t> bytes) {
  return detail::AdoptObject(detail::DecodeBmp(bytes.data(), bytes.size()));
}

HBitmap LoadBitmapResource(unsigned id) {
  const BinaryResource* resource = FindBitmapResource(id);
  if (!resource) return nullptr;
  return CreateBitmapFromBmp(resource->bytes);
}

bool GetBitmapInfo(HBitmap handle, BitmapInfo* info) {
  GdiObject* bitmap = detail::CheckObject(handle, ObjectKind::Bitmap);
  if (!bitmap || !info) return false;
  info->width = bitmap->pixels.Width();
  info->height = bitmap->pixels.Height();
  info->bitsPerPixel = bitmap->bitsPerPixel;
  info->monochrome = bitmap->monochrome;
  return true;
}

const Surface* GetBitmapSurface(HBitmap handle) {
  GdiObject* bitmap = detail::CheckObject(handle, ObjectKind::Bitmap);
  return bitmap ? &bitmap->pixels : nullptr;
}

// ---------------------------------------------------------------------------
// Device

int GetPixelsPerInchY(HDc) { return screenPixelsPerInch; }

void SetScreenPixelsPerInch(int ppi) { screenPixelsPerInch = ppi > 0 && ppi <= 1000 ? ppi : 96; }

}  // namespace pf
