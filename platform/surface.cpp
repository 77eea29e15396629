#include "platform/surface.h"

#include <algorithm>

namespace pf {
namespace {

bool SizeAllowed(int width, int height) {
  return width > 0 && height > 0 && width <= kMaxSurfaceSide && height <= kMaxSurfaceSide;
}

}  // namespace

Surface::Surface(int width, int height, Pixel fill) { Resize(width, height, fill); }

bool Surface::Resize(int width, int height, Pixel fill) {
  if (!SizeAllowed(width, height)) {
    width_ = 0;
    height_ = 0;
    pixels_.clear();
    pixels_.shrink_to_fit();
    return false;
  }
  pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
  width_ = width;
  height_ = height;
  return true;
}

Pixel Surface::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return Row(y)[x];
}

void Surface::Set(int x, int y, Pixel p) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  Row(y)[x] = p;
}

void Surface::Fill(Pixel p) { std::fill(pixels_.begin(), pixels_.end(), p); }

}  // namespace pf
