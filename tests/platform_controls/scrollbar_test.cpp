// The window's vertical scroll bar: the requests the stylus produces, and the
// picture following the scroll state.
#include <vector>

#include "platform/message.h"
#include "platform/scrollbar.h"
#include "platform/system.h"
#include "platform/window.h"
#include "tests/platform_controls/controls_fixture.h"

namespace controls_test {
namespace {

using pf::kScrollEnd;
using pf::kScrollLineDown;
using pf::kScrollLineUp;
using pf::kScrollPageDown;
using pf::kScrollPageUp;
using pf::kScrollThumbPosition;
using pf::kScrollThumbTrack;

// The window fills the default area (screen y 26 to 320); its bar is the
// column x 227..239. Arrows are 13 high; the track is window y 13..281
// (screen 39..307), 268 pixels; with a range of 0..100 and no page the thumb
// is 13 long and moves over 255 pixels.
constexpr int kBarX = 233;
constexpr int kTop = 26;

struct Request {
  std::uint32_t request = 0;
  int position = 0;
  bool operator==(const Request&) const = default;
};

std::vector<Request> Requests(pf::HWin window) {
  std::vector<Request> out;
  for (const Seen& s : Received(pf::kMsgVScroll, window)) {
    EXPECT_EQ(s.lParam, 0);
    out.push_back(Request{static_cast<std::uint32_t>(s.wParam & 0xFFFF), static_cast<std::int16_t>(s.wParam >> 16)});
  }
  return out;
}

enum class Act { Down, Move, Up };
struct Step {
  Act act;
  int y;  // screen; x is the bar's middle
};

struct Case {
  const char* name;
  int min;
  int max;
  int position;
  std::vector<Step> steps;
  std::vector<Request> expected;
};

TEST_F(Controls, StylusOnTheBarSendsTheRequestsOfTheTable) {
  const std::vector<Case> cases = {
      {"up arrow", 0, 100, 50, {{Act::Down, kTop + 5}, {Act::Up, kTop + 5}}, {{kScrollLineUp, 0}, {kScrollEnd, 0}}},
      {"down arrow", 0, 100, 50, {{Act::Down, 315}, {Act::Up, 315}}, {{kScrollLineDown, 0}, {kScrollEnd, 0}}},
      {"below the thumb", 0, 100, 0, {{Act::Down, 200}, {Act::Up, 200}}, {{kScrollPageDown, 0}, {kScrollEnd, 0}}},
      {"above the thumb", 0, 100, 100, {{Act::Down, 100}, {Act::Up, 100}}, {{kScrollPageUp, 0}, {kScrollEnd, 0}}},
      {"lift elsewhere still ends", 0, 100, 50, {{Act::Down, kTop + 5}, {Act::Up, 100}},
       {{kScrollLineUp, 0}, {kScrollEnd, 0}}},
      {"thumb dragged down and past the end",
       0,
       100,
       0,
       {{Act::Down, 45}, {Act::Move, 45}, {Act::Move, 45 + 51}, {Act::Move, 400}, {Act::Up, 400}},
       {{kScrollThumbTrack, 20}, {kScrollThumbTrack, 100}, {kScrollThumbPosition, 100}, {kScrollEnd, 0}}},
      {"thumb dragged up", 0, 100, 100,
       {{Act::Down, 300}, {Act::Move, 300 - 102}, {Act::Move, 0}, {Act::Up, 0}},
       {{kScrollThumbTrack, 60}, {kScrollThumbTrack, 0}, {kScrollThumbPosition, 0}, {kScrollEnd, 0}}},
      {"thumb tapped", 0, 100, 40, {{Act::Down, 145}, {Act::Up, 145}},
       {{kScrollThumbPosition, 40}, {kScrollEnd, 0}}},
      {"negative positions in the high word", -100, 0, -100, {{Act::Down, 45}, {Act::Up, 45}},
       {{kScrollThumbPosition, -100}, {kScrollEnd, 0}}},
      {"no range: the track does nothing", 0, 0, 0, {{Act::Down, 200}, {Act::Up, 200}}, {}},
      {"no range: the arrows still ask", 0, 0, 0, {{Act::Down, 315}, {Act::Up, 315}},
       {{kScrollLineDown, 0}, {kScrollEnd, 0}}},
  };
  const pf::HWin window = MakeWindow(pf::kStyleVisible | pf::kStyleVScroll);
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(pf::GetVScrollBarRect(window).left, 227);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pf::ScrollInfo info;
    info.mask = pf::kScrollInfoRange | pf::kScrollInfoPosition;
    info.min = c.min;
    info.max = c.max;
    info.position = c.position;
    pf::SetScrollInfo(window, pf::kBarVertical, info, true);
    Pump();
    ClearLog();
    for (const Step& s : c.steps) {
      if (s.act == Act::Down) pf::InjectStylusDown(kBarX, s.y);
      if (s.act == Act::Move) pf::InjectStylusMove(kBarX, s.y);
      if (s.act == Act::Up) pf::InjectStylusUp(kBarX, s.y);
      Pump();
    }
    EXPECT_EQ(Requests(window), c.expected);
    // Nothing reaches the client area.
    EXPECT_TRUE(Received(pf::kMsgLButtonDown, window).empty());
  }
}

TEST_F(Controls, ThumbFollowsTheScrollStateAndTheDrag) {
  const pf::HWin window = MakeWindow(pf::kStyleVisible | pf::kStyleVScroll);
  pf::ScrollInfo info;
  info.mask = pf::kScrollInfoRange | pf::kScrollInfoPosition;
  info.max = 100;
  pf::SetScrollInfo(window, pf::kBarVertical, info, true);
  const pf::Pixel face = 0xC0C0C0;
  const pf::Pixel track = 0xE0E0E0;
  EXPECT_EQ(Screen().At(kBarX, 45), face);
  EXPECT_EQ(Screen().At(kBarX, 300), track);
  EXPECT_EQ(pf::GetScrollBarParts(window).thumb.top, 13);

  // One request sets range and position and repaints: the thumb is at the end.
  info.mask = pf::kScrollInfoPosition;
  info.position = 100;
  EXPECT_EQ(pf::SetScrollInfo(window, pf::kBarVertical, info, true), 100);
  EXPECT_EQ(Screen().At(kBarX, 45), track);
  EXPECT_EQ(Screen().At(kBarX, 300), face);

  // While dragged, the thumb is drawn at the tracked position (reported as
  // trackPosition) even though the window never moved the position.
  pf::InjectStylusDown(kBarX, 300);
  pf::InjectStylusMove(kBarX, 300 - 255);
  Pump();
  pf::ScrollInfo got;
  got.mask = pf::kScrollInfoAll;
  ASSERT_TRUE(pf::GetScrollInfo(window, pf::kBarVertical, &got));
  EXPECT_EQ(got.position, 100);
  EXPECT_EQ(got.trackPosition, 0);
  EXPECT_EQ(Screen().At(kBarX, 45), face);
  pf::InjectStylusUp(kBarX, 45);
  Pump();
  EXPECT_EQ(Screen().At(kBarX, 45), track);  // back where the position says

  // A page given: the thumb takes the page's share of the track.
  info.mask = pf::kScrollInfoPage | pf::kScrollInfoPosition;
  info.page = 51;  // of 101 positions
  info.position = 0;
  pf::SetScrollInfo(window, pf::kBarVertical, info, true);
  EXPECT_EQ(pf::GetScrollBarParts(window).thumb.Height(), 268 * 51 / 101);
  SaveScreen("scrollbar");
}

TEST_F(Controls, WindowsWithoutTheStyleHaveNoBar) {
  const pf::HWin window = MakeWindow();
  EXPECT_TRUE(pf::GetScrollBarParts(window).bar.Empty());
  pf::InjectStylusDown(235, 100);
  pf::InjectStylusUp(235, 100);
  Pump();
  EXPECT_TRUE(Received(pf::kMsgVScroll).empty());
  EXPECT_EQ(Received(pf::kMsgLButtonDown, window).size(), 1u);
}

TEST_F(Controls, WindowDestroyedByItsScrollRequestEndsThePress) {
  static pf::HWin victim = nullptr;
  pf::WindowClass wc;
  wc.name = u"DiesOnScroll";
  wc.procedure = [](pf::HWin w, std::uint32_t m, pf::WParam wp, pf::LParam lp) -> pf::LResult {
    if (m == pf::kMsgVScroll) {
      pf::DestroyWindow(w);
      return 0;
    }
    return pf::DefaultWindowProc(w, m, wp, lp);
  };
  ASSERT_TRUE(pf::RegisterWindowClass(wc));
  victim = pf::CreateWindow(0, u"DiesOnScroll", u"", pf::kStyleVisible | pf::kStyleVScroll, 0, 26, 240, 294, nullptr,
                            0, nullptr, nullptr);
  pf::InjectStylusDown(kBarX, kTop + 5);
  pf::InjectStylusUp(kBarX, kTop + 5);
  Pump();
  EXPECT_FALSE(pf::IsWindow(victim));
  // The next window's bar works as usual.
  const pf::HWin window = MakeWindow(pf::kStyleVisible | pf::kStyleVScroll);
  pf::InjectStylusDown(kBarX, 315);
  pf::InjectStylusUp(kBarX, 315);
  Pump();
  EXPECT_EQ(Requests(window), (std::vector<Request>{{kScrollLineDown, 0}, {kScrollEnd, 0}}));
}

}  // namespace
}  // namespace controls_test
