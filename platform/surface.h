#pragma once
// A 32-bit framebuffer: the memory every drawing context finally writes to.
// The screen is one surface (owned by the screen code); each memory bitmap
// holds one of its own. Pixels are 0x00RRGGBB, rows top to bottom, no padding.
//
// A surface owns its storage. It never hands out a pointer past its pixels:
// At() answers 0 and Set() does nothing for a point outside it.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/handles.h"

namespace pf {

using Pixel = std::uint32_t;  // 0x00RRGGBB

// The largest width or height a surface (and so a bitmap) may have. Larger
// requests are refused: they come from damaged data, never from the program.
constexpr int kMaxSurfaceSide = 8192;

// Colour references are 0x00BBGGRR; pixels are 0x00RRGGBB.
constexpr Pixel PixelFromColor(ColorRef c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr ColorRef ColorFromPixel(Pixel p) {
  return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

class Surface {
 public:
  // An empty surface (0 x 0).
  Surface() = default;
  // A surface of width x height pixels, all `fill`. A width or height of 0 or
  // less, or above kMaxSurfaceSide, gives an empty surface: check Empty().
  Surface(int width, int height, Pixel fill = 0);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  Rect Bounds() const { return Rect{0, 0, width_, height_}; }

  // Changes the size; the content is lost and becomes `fill`. Returns false
  // (and leaves the surface empty) for a size Surface() would refuse.
  bool Resize(int width, int height, Pixel fill = 0);

  // The pixel at (x, y), or 0 outside the surface.
  Pixel At(int x, int y) const;
  // Sets the pixel at (x, y); does nothing outside the surface.
  void Set(int x, int y, Pixel p);
  // Fills the whole surface.
  void Fill(Pixel p);

  // Row y (0 <= y < Height(), not checked) and all pixels, for fast access by
  // the drawing code and the presenters.
  Pixel* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_); }
  const Pixel* Row(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
  }
  std::span<Pixel> Pixels() { return pixels_; }
  std::span<const Pixel> Pixels() const { return pixels_; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Pixel> pixels_;
};

}  // namespace pf
