#pragma once
// Handle types and plain records shared by every area of the platform layer.
//
// Handles are opaque pointers owned by the platform: the system never frees
// what a handle points to except through the platform call that destroys it.
// A null handle means "none" everywhere.

#include <cstdint>

namespace pf {

struct Window;      // a window (top-level, child, control, dialog)
struct DrawContext; // a drawing context: a surface, a clip and selected objects
struct GdiObject;   // pen, brush, font or bitmap; selectable into a context
struct Menu;        // a menu or pop-up menu
struct Module;      // the program's instance (its resources)

using HWin = Window*;
using HDc = DrawContext*;
using HObj = GdiObject*;
using HPen = GdiObject*;
using HBrush = GdiObject*;
using HFont = GdiObject*;
using HBitmap = GdiObject*;
using HIcon = GdiObject*;
using HMenu = Menu*;
using HInstance = Module*;

// Message parameters: the word-sized parameter and the signed long one.
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

using WindowProc = LResult (*)(HWin, std::uint32_t message, WParam, LParam);

struct Point {
  int x = 0;
  int y = 0;
};

// Half-open rectangle: right and bottom are one past the last pixel.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
};

struct Msg {
  HWin window = nullptr;
  std::uint32_t message = 0;
  WParam wParam = 0;
  LParam lParam = 0;
};

// 0x00BBGGRR, as colour references are given.
using ColorRef = std::uint32_t;
constexpr ColorRef Rgb(int r, int g, int b) {
  return static_cast<ColorRef>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

}  // namespace pf
