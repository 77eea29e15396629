// The vertical scroll bar of a window: its picture and its stylus handling,
// plugged into the window system's non-client hooks.
#include "platform/scrollbar.h"

#include <algorithm>

#include "platform/constants.h"
#include "platform/controls_draw.h"
#include "platform/message.h"
#include "platform/system.h"
#include "platform/window.h"
#include "platform/window_internal.h"

namespace pf {
namespace {

enum class Part { None, UpArrow, DownArrow, PageUp, PageDown, Thumb };

// The one press the bar is following (there is one stylus).
struct Press {
  HWin window = nullptr;
  Part part = Part::None;
  int grab = 0;           // thumb: stylus y minus the thumb's top at the press
  int trackPosition = 0;  // thumb: the position under the thumb now
};

Press& Pressed() {
  static Press press;
  return press;
}

struct Geometry {
  ScrollBarParts parts;
  int trackTop = 0;
  int trackLength = 0;
  int thumbLength = 0;
  int min = 0;
  int maxPosition = 0;  // the highest position the thumb can show
};

Geometry Measure(HWin window, const int* positionOverride) {
  Geometry g;
  const Rect bar = GetVScrollBarRect(window);
  if (bar.Empty()) return g;
  g.parts.bar = bar;
  const int arrow = std::min(GetSystemMetrics(kMetricVScrollArrowHeight), bar.Height() / 2);
  g.parts.upArrow = Rect{bar.left, bar.top, bar.right, bar.top + arrow};
  g.parts.downArrow = Rect{bar.left, bar.bottom - arrow, bar.right, bar.bottom};
  g.trackTop = bar.top + arrow;
  g.trackLength = bar.Height() - 2 * arrow;

  ScrollInfo s;
  s.mask = kScrollInfoAll;
  if (!GetScrollInfo(window, kBarVertical, &s)) return g;
  g.min = s.min;
  const long long page = s.page;
  g.maxPosition = static_cast<int>(std::max<long long>(s.min, static_cast<long long>(s.max) - std::max(0LL, page - 1)));
  const int minimum = std::max(4, GetSystemMetrics(kMetricVThumbHeight));
  if (s.max <= s.min || g.trackLength < std::min(minimum, 8)) return g;
  const long long range = static_cast<long long>(s.max) - s.min + 1;
  long long length = page == 0 ? minimum : g.trackLength * page / range;
  length = std::clamp<long long>(length, std::min(minimum, g.trackLength), g.trackLength);
  g.thumbLength = static_cast<int>(length);
  const int position = positionOverride != nullptr ? *positionOverride : s.position;
  const long long steps = static_cast<long long>(g.maxPosition) - s.min;
  const long long room = g.trackLength - g.thumbLength;
  long long offset = 0;
  if (steps > 0) offset = room * (std::clamp<long long>(position, s.min, g.maxPosition) - s.min) / steps;
  const int top = g.trackTop + static_cast<int>(offset);
  g.parts.thumb = Rect{bar.left, top, bar.right, top + g.thumbLength};
  return g;
}

Geometry MeasureShown(HWin window) {
  const Press& p = Pressed();
  if (p.window == window && p.part == Part::Thumb) return Measure(window, &p.trackPosition);
  return Measure(window, nullptr);
}

// The position whose thumb would start at `thumbTop`, rounded to the nearest.
int PositionAt(const Geometry& g, int thumbTop) {
  const long long room = g.trackLength - g.thumbLength;
  const long long steps = static_cast<long long>(g.maxPosition) - g.min;
  if (room <= 0 || steps <= 0) return g.min;
  const long long offset = std::clamp<long long>(thumbTop - g.trackTop, 0, room);
  return static_cast<int>(g.min + (offset * steps + room / 2) / room);
}

void Send(HWin window, std::uint32_t request, int position) {
  const WParam wParam = (request & 0xFFFFu) | ((static_cast<std::uint32_t>(position) & 0xFFFFu) << 16);
  SendMessage(window, kMsgVScroll, wParam, 0);
}

void PaintBar(HWin window, HDc dc) {
  const Geometry g = MeasureShown(window);
  const ScrollBarParts& parts = g.parts;
  if (parts.bar.Empty()) return;
  const Press& p = Pressed();
  controls::Fill(dc, parts.bar, controls::kTrackColor);
  const Rect track{parts.bar.left, parts.upArrow.bottom, parts.bar.right, parts.downArrow.top};
  if (p.window == window && (p.part == Part::PageUp || p.part == Part::PageDown) && !parts.thumb.Empty()) {
    const Rect lit = p.part == Part::PageUp ? Rect{track.left, track.top, track.right, parts.thumb.top}
                                            : Rect{track.left, parts.thumb.bottom, track.right, track.bottom};
    controls::Fill(dc, lit, controls::kShadowColor);
  }
  const int arrowSize = std::max(2, (parts.bar.Width() - 4) / 2);
  const auto drawArrow = [&](const Rect& r, controls::ArrowDirection direction, bool down) {
    if (r.Empty()) return;
    controls::Fill(dc, r, controls::kFaceColor);
    controls::Edge(dc, r, down);
    Rect inner = r;
    if (down) {
      inner.left += 1;
      inner.top += 1;
    }
    controls::Arrow(dc, inner, direction, std::min(arrowSize, r.Height() / 2), controls::kDarkColor);
  };
  drawArrow(parts.upArrow, controls::ArrowDirection::Up, p.window == window && p.part == Part::UpArrow);
  drawArrow(parts.downArrow, controls::ArrowDirection::Down, p.window == window && p.part == Part::DownArrow);
  if (!parts.thumb.Empty()) {
    controls::Fill(dc, parts.thumb, controls::kFaceColor);
    controls::Edge(dc, parts.thumb, false);
  }
  // The line between the client area and the bar.
  controls::Fill(dc, Rect{parts.bar.left, parts.bar.top, parts.bar.left + 1, parts.bar.bottom}, controls::kShadowColor);
}

void PaintHook(HWin window, HDc dc) {
  core::PaintDefaultNonClient(window, dc);
  PaintBar(window, dc);
}

bool StylusHook(HWin window, std::uint32_t message, Point point) {
  Press& p = Pressed();
  if (message == kMsgLButtonDown) {
    if (p.window != nullptr) {
      // A press that never saw its lift (the capture was taken away).
      const HWin old = p.window;
      p = Press{};
      if (IsWindow(old)) RedrawNonClient(old);
    }
    const Geometry g = Measure(window, nullptr);
    if (!g.parts.bar.Contains(point)) return false;
    Part part = Part::None;
    if (g.parts.upArrow.Contains(point)) {
      part = Part::UpArrow;
    } else if (g.parts.downArrow.Contains(point)) {
      part = Part::DownArrow;
    } else if (g.parts.thumb.Empty()) {
      return true;  // the track of a bar without a range: nothing to do
    } else if (g.parts.thumb.Contains(point)) {
      part = Part::Thumb;
    } else {
      part = point.y < g.parts.thumb.top ? Part::PageUp : Part::PageDown;
    }
    p.window = window;
    p.part = part;
    if (part == Part::Thumb) {
      ScrollInfo s;
      s.mask = kScrollInfoPosition;
      GetScrollInfo(window, kBarVertical, &s);
      p.grab = point.y - g.parts.thumb.top;
      p.trackPosition = s.position;
      ScrollInfo track;
      track.mask = kScrollInfoTrackPosition;
      track.trackPosition = s.position;
      SetScrollInfo(window, kBarVertical, track, false);
    }
    RedrawNonClient(window);
    switch (part) {
      case Part::UpArrow:
        Send(window, kScrollLineUp, 0);
        break;
      case Part::DownArrow:
        Send(window, kScrollLineDown, 0);
        break;
      case Part::PageUp:
        Send(window, kScrollPageUp, 0);
        break;
      case Part::PageDown:
        Send(window, kScrollPageDown, 0);
        break;
      default:
        break;
    }
    if (!IsWindow(window) && p.window == window) p = Press{};
    return true;
  }

  if (p.window != window) return false;
  if (message == kMsgMouseMove) {
    if (p.part == Part::Thumb) {
      const Geometry g = Measure(window, nullptr);
      const int position = PositionAt(g, point.y - p.grab);
      if (position != p.trackPosition) {
        p.trackPosition = position;
        ScrollInfo track;
        track.mask = kScrollInfoTrackPosition;
        track.trackPosition = position;
        SetScrollInfo(window, kBarVertical, track, false);
        RedrawNonClient(window);
        Send(window, kScrollThumbTrack, position);
      }
    }
    return true;
  }
  if (message == kMsgLButtonUp) {
    const Press ended = p;
    p = Press{};
    RedrawNonClient(window);
    if (ended.part == Part::Thumb) Send(window, kScrollThumbPosition, ended.trackPosition);
    if (IsWindow(window)) Send(window, kScrollEnd, 0);
    return true;
  }
  return false;
}

}  // namespace

void InstallScrollBarHooks() {
  NonClientHooks hooks;
  hooks.paint = PaintHook;
  hooks.stylus = StylusHook;
  SetNonClientHooks(hooks);
}

ScrollBarParts GetScrollBarParts(HWin window) { return MeasureShown(window).parts; }

}  // namespace pf
