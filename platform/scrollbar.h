#pragma once
// The vertical scroll bar of a window made with kStyleVScroll: drawn in the
// window's non-client area and driven by the stylus, through the window
// system's non-client hooks (window.h). StartPlatform installs it, so every
// window with the style has a working bar.
//
// The bar shows the window's vertical ScrollInfo (SetScrollInfo with redraw
// paints it again): an arrow at each end, the track between them, and a thumb
// whose length is the page's share of the range (at least
// kMetricVThumbHeight) and whose place is the position's share of the
// positions the thumb can take (min .. max - max(page - 1, 0)). Without a
// range (max <= min) there is no thumb.
//
// Stylus, each sent to the window as kMsgVScroll (wParam request |
// position << 16, lParam 0) with SendMessage:
//   press on the upper / lower arrow   kScrollLineUp / kScrollLineDown, once
//   press on the track above / below   kScrollPageUp / kScrollPageDown, once
//     the thumb
//   drag of the thumb                  kScrollThumbTrack with the position
//                                      under the thumb, each time it changes
//   lifting after a thumb drag         kScrollThumbPosition with the last
//                                      position (the one the thumb started
//                                      from when it never moved)
//   lifting after any press            kScrollEnd
// The bar never moves its own position: the window answers with
// SetScrollInfo. While the thumb is dragged it is drawn at the tracked
// position, which GetScrollInfo reports as trackPosition.

#include "platform/handles.h"

namespace pf {

// Installs the scroll bar's non-client hooks (StartPlatform calls it).
void InstallScrollBarHooks();

// The parts of the bar, in window coordinates (empty when the window has no
// bar, or no thumb).
struct ScrollBarParts {
  Rect bar;
  Rect upArrow;
  Rect downArrow;
  Rect thumb;  // empty without a range or when the track is too short
};
ScrollBarParts GetScrollBarParts(HWin window);

}  // namespace pf
