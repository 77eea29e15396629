#pragma once
// Helpers of the drawing tests: small surfaces with a context, and pictures
// written as strings (one character per pixel) for exact comparisons.

#include <map>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/surface.h"

namespace pf::test {

// A surface with a context on all of it; the context is deleted with it.
struct Canvas {
  Surface surface;
  HDc dc = nullptr;
  Canvas(int w, int h, Pixel fill = 0xFFFFFF, Point origin = {}, Rect clip = {0, 0, 1 << 20, 1 << 20})
      : surface(w, h, fill) {
    dc = CreateSurfaceDc(&surface, origin, clip);
  }
  ~Canvas() { DeleteDc(dc); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
};

// The surface as rows of characters, by a legend from pixel to character;
// pixels not in the legend show as '?'.
inline std::vector<std::string> Picture(const Surface& s, const std::map<Pixel, char>& legend) {
  std::vector<std::string> rows;
  for (int y = 0; y < s.Height(); ++y) {
    std::string row;
    for (int x = 0; x < s.Width(); ++x) {
      auto it = legend.find(s.At(x, y));
      row += it == legend.end() ? '?' : it->second;
    }
    rows.push_back(row);
  }
  return rows;
}

}  // namespace pf::test
