// Windows: message order, geometry, relations, activation and focus, text and
// data, scroll state, update regions and the composed screen.
#include <algorithm>

#include "platform/gdi.h"
#include "platform/message.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/window.h"
#include "tests/platform_core/core_fixture.h"

namespace core_test {
namespace {

using namespace pf;

struct Expect {
  HWin window;
  std::uint32_t message;
};

void ExpectSequence(const std::vector<Seen>& got, const std::vector<Expect>& want) {
  if (got.size() != want.size()) {
    for (const Seen& s : got) ADD_FAILURE() << "got " << s.window << " 0x" << std::hex << s.message;
  }
  ASSERT_EQ(got.size(), want.size()) << "message count";
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].window, want[i].window) << "at " << i;
    EXPECT_EQ(got[i].message, want[i].message) << "at " << i << std::hex << " got 0x" << got[i].message;
  }
}

using Windows = Core;

TEST_F(Windows, CreateVisibleTopLevelSendsCreateSizeMoveShowActivateFocus) {
  const HWin first = MakeTop();
  ASSERT_NE(first, nullptr);
  Log().clear();
  const HWin w = MakeTop(kStyleVisible, Rect{10, 40, 110, 140}, u"Second");
  ASSERT_NE(w, nullptr);
  ExpectSequence(Interesting(), {{w, kMsgCreate},
                                 {w, kMsgSize},
                                 {w, kMsgMove},
                                 {w, kMsgShowWindow},
                                 {first, kMsgActivate},
                                 {w, kMsgActivate},
                                 {first, kMsgKillFocus},
                                 {w, kMsgSetFocus}});
  const auto log = Interesting();
  EXPECT_EQ(log[1].lParam, (100 | (100 << 16)));  // client size
  EXPECT_EQ(log[2].lParam, (10 | (40 << 16)));    // client origin
  EXPECT_EQ(log[4].wParam & 0xFFFF, kActivateInactive);
  EXPECT_EQ(reinterpret_cast<HWin>(log[4].lParam), w);
  EXPECT_EQ(log[5].wParam & 0xFFFF, kActivateActive);
  EXPECT_EQ(reinterpret_cast<HWin>(log[5].lParam), first);
  EXPECT_EQ(GetActiveWindow(), w);
  EXPECT_EQ(GetFocus(), w);
  EXPECT_EQ(GetTopLevelWindows().front(), GetTaskBar()) << "the task bar stays on top";
  EXPECT_EQ(GetTopLevelWindows()[1], w);
}

TEST_F(Windows, HiddenWindowIsNotActivatedAndCreateCanRefuse) {
  const HWin hidden = MakeTop(0);
  ASSERT_NE(hidden, nullptr);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  ExpectSequence(Interesting(), {{hidden, kMsgCreate}, {hidden, kMsgSize}, {hidden, kMsgMove}});

  static HWin refused = nullptr;
  static int destroyed = 0;
  WindowClass wc;
  wc.name = u"Refuse";
  wc.procedure = [](HWin h, std::uint32_t m, WParam wp, LParam lp) -> LResult {
    if (m == kMsgCreate) {
      refused = h;
      return -1;
    }
    if (m == kMsgDestroy) ++destroyed;
    return DefaultWindowProc(h, m, wp, lp);
  };
  ASSERT_TRUE(RegisterWindowClass(wc));
  EXPECT_EQ(CreateWindow(0, u"refuse", u"", kStyleVisible, 0, 0, 10, 10, nullptr, 0, nullptr, nullptr), nullptr);
  EXPECT_EQ(destroyed, 1);
  EXPECT_FALSE(IsWindow(refused));
  EXPECT_EQ(CreateWindow(0, u"NoSuchClass", u"", 0, 0, 0, 1, 1, nullptr, 0, nullptr, nullptr), nullptr);
  EXPECT_EQ(MakeChild(nullptr, Rect{0, 0, 5, 5}), nullptr) << "a child needs a parent";
}

TEST_F(Windows, CloseDestroysParentThenChildrenAndActivatesTheNext) {
  const HWin under = MakeTop(kStyleVisible, Rect{0, 26, 240, 320}, u"Under");
  const HWin top = MakeTop(kStyleVisible, Rect{0, 26, 240, 320}, u"Top");
  const HWin a = MakeChild(top, Rect{0, 0, 10, 10}, 1);
  const HWin b = MakeChild(a, Rect{0, 0, 5, 5}, 2);
  SetFocus(b);
  Log().clear();
  SendMessage(top, kMsgClose, 0, 0);
  ExpectSequence(Interesting(), {{top, kMsgClose},
                                 {top, kMsgActivate},
                                 {under, kMsgActivate},
                                 {b, kMsgKillFocus},
                                 {under, kMsgSetFocus},
                                 {top, kMsgDestroy},
                                 {a, kMsgDestroy},
                                 {b, kMsgDestroy}});
  EXPECT_FALSE(IsWindow(top));
  EXPECT_FALSE(IsWindow(a));
  EXPECT_FALSE(IsWindow(b));
  EXPECT_EQ(GetActiveWindow(), under);
  EXPECT_EQ(GetFocus(), under);
  // A dead handle stays dead: every call fails harmlessly.
  Rect r;
  EXPECT_FALSE(GetWindowRect(top, &r));
  EXPECT_FALSE(DestroyWindow(top));
  EXPECT_EQ(SendMessage(top, kMsgUser, 0, 0), 0);
  EXPECT_FALSE(PostMessage(top, kMsgUser, 0, 0));
}

TEST_F(Windows, OwnedWindowsGoFirstAndStayAboveTheirOwner) {
  const HWin owner = MakeTop(kStyleVisible, Rect{0, 26, 240, 320}, u"Owner");
  const HWin owned = MakeTop(kStyleVisible, Rect{20, 60, 200, 200}, u"Owned", owner);
  const HWin other = MakeTop(kStyleVisible, Rect{0, 26, 240, 320}, u"Other");
  EXPECT_EQ(GetParent(owned), owner) << "the owner counts as parent";
  EXPECT_EQ(GetTopLevelWindow(owned), owned);
  SetActiveWindow(owner);
  auto order = GetTopLevelWindows();
  ASSERT_GE(order.size(), 4u);
  EXPECT_EQ(order[1], owned);
  EXPECT_EQ(order[2], owner);
  EXPECT_EQ(order[3], other);
  Log().clear();
  DestroyWindow(owner);
  ExpectSequence(Interesting(owned), {{owned, kMsgDestroy}});
  EXPECT_FALSE(IsWindow(owned));
  EXPECT_EQ(GetActiveWindow(), other);
}

TEST_F(Windows, MoveSendsPositionChangedThenMoveThenSize) {
  const HWin w = MakeTop();
  Log().clear();
  ASSERT_TRUE(MoveWindow(w, 0, 0, 240, 320, false));
  const auto log = Interesting();
  ExpectSequence(log, {{w, kMsgWindowPosChanged}, {w, kMsgMove}, {w, kMsgSize}});
  EXPECT_EQ(log[2].lParam, (240 | (320 << 16)));
  Log().clear();
  ASSERT_TRUE(MoveWindow(w, 0, 0, 240, 320, false));
  ExpectSequence(Interesting(), {{w, kMsgWindowPosChanged}});  // nothing changed: no move, no size
}

// The main window destroys itself when a position change has any of bits 16
// to 31 together with no-activate; the platform's own changes never set them.
TEST_F(Windows, PositionFlagsNeverUseTheHighBits) {
  static std::vector<std::uint32_t> flags;
  flags.clear();
  WindowClass wc;
  wc.name = u"PosWatch";
  wc.procedure = [](HWin h, std::uint32_t m, WParam wp, LParam lp) -> LResult {
    if (m == kMsgWindowPosChanged) flags.push_back(reinterpret_cast<const WindowPos*>(lp)->flags);
    return DefaultWindowProc(h, m, wp, lp);
  };
  ASSERT_TRUE(RegisterWindowClass(wc));
  const HWin w = CreateWindow(kExStyleWindowEdge, u"PosWatch", u"", kStyleVisible, kUseDefault, kUseDefault,
                              kUseDefault, kUseDefault, nullptr, 0, nullptr, nullptr);
  MoveWindow(w, 0, 0, 240, 320, false);
  ShowWindow(w, kShowHide);
  ShowWindow(w, kShowNormal);
  MoveWindow(w, 5, 5, 100, 100, true);
  ASSERT_EQ(flags.size(), 4u);
  for (std::uint32_t f : flags) EXPECT_EQ(f & 0xFFFF0000u, 0u);
  EXPECT_NE(flags[1] & kPosHideWindow, 0u);
  EXPECT_NE(flags[2] & kPosShowWindow, 0u);
}

TEST_F(Windows, DefaultPlacementIsTheAreaBelowTheTaskBar) {
  struct Case {
    int bottomBar;
    Rect want;
  };
  for (const Case& c : {Case{0, Rect{0, 26, 240, 320}}, Case{26, Rect{0, 26, 240, 294}}}) {
    SetShellBottomBarHeight(c.bottomBar);
    const HWin d = CreateWindow(0, u"Rec", u"", kStyleVisible, kUseDefault, 123, kUseDefault, 456, nullptr, 0,
                                nullptr, nullptr);
    Rect r;
    ASSERT_TRUE(GetWindowRect(d, &r));
    EXPECT_EQ(r.left, c.want.left);
    EXPECT_EQ(r.top, c.want.top);
    EXPECT_EQ(r.right, c.want.right);
    EXPECT_EQ(r.bottom, c.want.bottom);
    const HWin child =
        CreateWindow(0, u"Rec", u"", kStyleChild, kUseDefault, 9, kUseDefault, 9, d, 0, nullptr, nullptr);
    ASSERT_TRUE(GetWindowRect(child, &r));
    EXPECT_EQ(r.Width(), 0);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 26);
  }
  const HWin bar = GetTaskBar();
  Rect r;
  ASSERT_TRUE(GetWindowRect(bar, &r));
  EXPECT_EQ(r.bottom, 26);
  EXPECT_EQ(r.right, 240);
  EXPECT_EQ(FindWindow(u"HHTaskBar", u""), bar);
}

TEST_F(Windows, ClientAreaLosesFrameParts) {
  struct Case {
    std::uint32_t style;
    std::uint32_t exStyle;
    int width;
    int height;
  };
  const Case cases[] = {
      {0, 0, 100, 80},
      {kStyleVScroll, 0, 87, 80},
      {0, kExStyleWindowEdge, 96, 76},
      {kStyleVScroll, kExStyleWindowEdge, 83, 76},
      {kStyleBorder, 0, 98, 78},
      {kStyleCaption, 0, 96, 50},
      {kStyleVScroll | kStyleHScroll, 0, 87, 67},
  };
  for (const Case& c : cases) {
    const HWin w = MakeTop(c.style, Rect{0, 30, 100, 110}, u"", nullptr, c.exStyle);
    Rect r;
    ASSERT_TRUE(GetClientRect(w, &r));
    EXPECT_EQ(r.Width(), c.width) << std::hex << c.style << " " << c.exStyle;
    EXPECT_EQ(r.Height(), c.height) << std::hex << c.style << " " << c.exStyle;
    EXPECT_EQ(GetVScrollBarRect(w).Width(), (c.style & kStyleVScroll) ? GetSystemMetrics(kMetricVScrollWidth) : 0);
  }
  const HWin tiny = MakeTop(kStyleCaption | kStyleVScroll, Rect{0, 0, 5, 5});
  Rect r;
  ASSERT_TRUE(GetClientRect(tiny, &r));
  EXPECT_EQ(r.Width(), 0);
  EXPECT_EQ(r.Height(), 0);
}

TEST_F(Windows, CoordinatesConvertThroughParents) {
  const HWin top = MakeTop(kStyleVisible, Rect{0, 26, 240, 320}, u"T", nullptr, kExStyleWindowEdge);
  const HWin child = MakeChild(top, Rect{10, 20, 60, 70});
  Point p{1, 2};
  ASSERT_TRUE(ClientToScreen(child, &p));
  EXPECT_EQ(p.x, 2 + 10 + 1);
  EXPECT_EQ(p.y, 26 + 2 + 20 + 2);
  ASSERT_TRUE(ScreenToClient(child, &p));
  EXPECT_EQ(p.x, 1);
  EXPECT_EQ(p.y, 2);
  Rect r;
  ASSERT_TRUE(GetWindowRect(child, &r));
  EXPECT_EQ(r.left, 12);
  EXPECT_EQ(r.top, 48);
  EXPECT_EQ(GetParent(child), top);
  EXPECT_EQ(GetTopLevelWindow(child), top);
  EXPECT_TRUE(IsChild(top, child));
  EXPECT_EQ(FindChildById(top, 0), child);
  EXPECT_EQ(GetChildren(top).size(), 1u);
}

TEST_F(Windows, FindWindowMatchesClassIgnoringCaseAndTitleExactly) {
  const HWin a = MakeTop(0, Rect{0, 26, 240, 320}, u"Corvella");
  WindowClass wc;
  wc.name = u"Corvella";
  wc.procedure = DefaultWindowProc;
  ASSERT_TRUE(RegisterWindowClass(wc));
  EXPECT_FALSE(RegisterWindowClass(wc)) << "a class name is registered once";
  const HWin b = CreateWindow(0, u"Corvella", u"Corvella", 0, 0, 26, 240, 294, nullptr, 0, nullptr, nullptr);
  EXPECT_EQ(FindWindow(u"CORVELLA", u"Corvella"), b) << "hidden windows are found too";
  EXPECT_EQ(FindWindow(u"Rec", u"Corvella"), a);
  EXPECT_EQ(FindWindow(u"Corvella", u"corvella"), nullptr);
  EXPECT_EQ(FindWindow(u"Corvella", u"Corvella "), nullptr);
  EXPECT_EQ(GetClassName(b), u"Corvella");
  EXPECT_FALSE(UnregisterWindowClass(u"Corvella")) << "still in use";
  DestroyWindow(b);
  EXPECT_TRUE(UnregisterWindowClass(u"Corvella"));
}

TEST_F(Windows, FocusFollowsActivationAndEnabling) {
  const HWin one = MakeTop(kStyleVisible, Rect{0, 26, 240, 320}, u"One");
  const HWin edit = MakeChild(one, Rect{0, 0, 50, 20}, 5);
  const HWin two = MakeTop(kStyleVisible, Rect{0, 26, 240, 320}, u"Two");
  EXPECT_EQ(GetActiveWindow(), two);
  EXPECT_EQ(SetFocus(edit), two) << "returns the previous focus";
  EXPECT_EQ(GetActiveWindow(), one) << "focusing a child activates its window";
  EXPECT_EQ(GetFocus(), edit);
  SetActiveWindow(two);
  SetActiveWindow(one);
  EXPECT_EQ(GetFocus(), edit) << "the focus comes back where it was";

  Log().clear();
  EXPECT_FALSE(EnableWindow(one, false));
  EXPECT_EQ(GetFocus(), nullptr) << "disabling takes the focus away";
  EXPECT_EQ(SetFocus(edit), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(SetActiveWindow(two), one) << "a disabled window stays active until another is activated";
  EXPECT_EQ(SetActiveWindow(one), nullptr) << "but it cannot be activated again";
  EXPECT_TRUE(EnableWindow(one, true));
  EXPECT_TRUE(IsWindowEnabled(one));
  const auto log = Interesting(one);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const Seen& s) { return s.message == kMsgEnable; }), 2);
  EXPECT_EQ(SetActiveWindow(GetTaskBar()), nullptr) << "the task bar is never activated";
}

TEST_F(Windows, HidingTheActiveWindowActivatesAnother) {
  const HWin a = MakeTop(kStyleVisible, Rect{0, 26, 240, 320}, u"A");
  const HWin b = MakeTop(kStyleVisible, Rect{0, 26, 240, 320}, u"B");
  Log().clear();
  EXPECT_TRUE(ShowWindow(b, kShowHide));
  ExpectSequence(Interesting(), {{b, kMsgShowWindow},
                                 {b, kMsgWindowPosChanged},
                                 {b, kMsgActivate},
                                 {a, kMsgActivate},
                                 {b, kMsgKillFocus},
                                 {a, kMsgSetFocus}});
  EXPECT_FALSE(IsWindowVisible(b));
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_FALSE(ShowWindow(b, kShowNA));
  EXPECT_EQ(GetActiveWindow(), a) << "shown without activation";
  EXPECT_TRUE(IsWindowShowing(b));
}

TEST_F(Windows, TextDataAndScrollState) {
  const HWin w = MakeTop();
  EXPECT_TRUE(SetWindowText(w, u"Hello"));
  EXPECT_EQ(GetWindowText(w), u"Hello");
  EXPECT_EQ(SetWindowUserData(w, 42), 0);
  EXPECT_EQ(GetWindowUserData(w), 42);
  EXPECT_EQ(SetWindowSlot(w, 3, 7), 0);
  EXPECT_EQ(GetWindowSlot(w, 3), 7);
  EXPECT_EQ(GetWindowSlot(w, 4), 0);
  EXPECT_EQ(SetWindowSlot(w, -1, 1), 0);

  struct Case {
    ScrollInfo set;
    int wantPosition;
  };
  const Case cases[] = {
      {{kScrollInfoRange | kScrollInfoPosition, 0, 100, 0, 40, 0}, 40},
      {{kScrollInfoPosition, 0, 0, 0, 500, 0}, 100},
      {{kScrollInfoPosition, 0, 0, 0, -3, 0}, 0},
      {{kScrollInfoPage | kScrollInfoPosition, 0, 0, 10, 100, 0}, 91},
      {{kScrollInfoRange, 5, 2, 0, 0, 0}, 5},  // max below min becomes min
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SetScrollInfo(w, kBarVertical, c.set, true), c.wantPosition);
    ScrollInfo got;
    ASSERT_TRUE(GetScrollInfo(w, kBarVertical, &got));
    EXPECT_EQ(got.position, c.wantPosition);
  }
  EXPECT_EQ(SetScrollInfo(nullptr, kBarVertical, ScrollInfo{}, true), 0);
  EXPECT_EQ(SetScrollInfo(w, 9, ScrollInfo{}, true), 0);
}

TEST_F(Windows, UpdateRegionsAndUpdateWindow) {
  const HWin w = MakeTop(kStyleVisible, Rect{0, 26, 100, 126});
  Rect r;
  EXPECT_TRUE(GetUpdateRect(w, &r)) << "a new window is all invalid";
  ValidateRect(w, nullptr);
  EXPECT_FALSE(GetUpdateRect(w, &r));
  const Rect part{10, 10, 20, 20};
  InvalidateRect(w, &part, false);
  const Rect outside{500, 500, 600, 600};
  InvalidateRect(w, &outside, false);  // clipped away
  ASSERT_TRUE(GetUpdateRect(w, &r));
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.bottom, 20);
  const Rect half{10, 10, 15, 20};
  ValidateRect(w, &half);
  ASSERT_TRUE(GetUpdateRect(w, &r));
  EXPECT_EQ(r.left, 15);
  Log().clear();
  EXPECT_TRUE(UpdateWindow(w));
  ASSERT_EQ(Log().size(), 1u);
  EXPECT_EQ(Log()[0].message, kMsgPaint);
  EXPECT_FALSE(GetUpdateRect(w, &r)) << "the default procedure validated it";
  Log().clear();
  UpdateWindow(w);
  EXPECT_TRUE(Log().empty()) << "nothing to paint, no paint message";
}

TEST_F(Windows, PaintingReachesTheScreenOnlyWhereTheWindowShows) {
  static ColorRef fill = Rgb(255, 0, 0);
  WindowClass wc;
  wc.name = u"Filler";
  wc.procedure = [](HWin h, std::uint32_t m, WParam wp, LParam lp) -> LResult {
    if (m == kMsgPaint) {
      PaintInfo p;
      const HDc dc = BeginPaint(h, &p);
      Rect c;
      GetClientRect(h, &c);
      const HBrush b = CreateSolidBrush(fill);
      FillRect(dc, c, b);
      DeleteObject(b);
      EndPaint(h, &p);
      return 0;
    }
    return DefaultWindowProc(h, m, wp, lp);
  };
  ASSERT_TRUE(RegisterWindowClass(wc));
  const HWin back = CreateWindow(kExStyleWindowEdge, u"Filler", u"Back", kStyleVisible, 0, 26, 240, 294, nullptr, 0,
                                 nullptr, nullptr);
  Pump();
  ComposeScreen();
  const Surface& screen = ScreenSurface();
  EXPECT_EQ(screen.At(100, 100), PixelFromColor(Rgb(255, 0, 0)));
  EXPECT_NE(screen.At(0, 100), PixelFromColor(Rgb(255, 0, 0))) << "the edge is outside the client area";
  // A window above covers it; painting the back window again does not show
  // through, because each window keeps its own picture.
  fill = Rgb(0, 0, 255);
  const HWin front = CreateWindow(0, u"Filler", u"Front", kStyleVisible, 50, 80, 100, 100, nullptr, 0, nullptr,
                                  nullptr);
  Pump();
  fill = Rgb(0, 255, 0);
  InvalidateRect(back, nullptr, true);
  Pump();
  const Rect changed = ComposeScreen();
  EXPECT_FALSE(changed.Empty());
  EXPECT_EQ(screen.At(100, 100), PixelFromColor(Rgb(0, 0, 255)));
  EXPECT_EQ(screen.At(20, 100), PixelFromColor(Rgb(0, 255, 0)));
  const std::uint64_t count = ScreenChangeCount();
  EXPECT_TRUE(ComposeScreen().Empty()) << "nothing changed since";
  EXPECT_EQ(ScreenChangeCount(), count);
  DestroyWindow(front);
  ComposeScreen();
  EXPECT_EQ(screen.At(100, 100), PixelFromColor(Rgb(0, 255, 0))) << "uncovered without a repaint";
  // A drawing context kept across a move follows the window.
  const HDc kept = GetDc(back);
  MoveWindow(back, 0, 0, 240, 320, false);
  const HBrush black = CreateSolidBrush(Rgb(0, 0, 0));
  const Rect dot{0, 0, 1, 1};
  FillRect(kept, dot, black);
  DeleteObject(black);
  ReleaseDc(back, kept);
  ShowWindow(GetTaskBar(), kShowHide);
  ComposeScreen();
  EXPECT_EQ(screen.At(2, 2), 0u);
}

TEST_F(Windows, FullScreenRequestsHideAndShowTheTaskBar) {
  const HWin w = MakeTop();
  const HWin bar = GetTaskBar();
  ASSERT_TRUE(IsWindowVisible(bar));
  ASSERT_TRUE(RequestFullScreen(w, 0x2A));
  EXPECT_FALSE(IsWindowVisible(bar));
  EXPECT_FALSE(GetShellState().inputButtonVisible);
  EXPECT_FALSE(GetShellState().startIconVisible);
  EXPECT_EQ(GetActiveWindow(), w);
  ASSERT_TRUE(RequestFullScreen(w, kFullScreenShowTaskBar | kFullScreenShowInputButton));
  EXPECT_TRUE(IsWindowVisible(bar));
  EXPECT_TRUE(GetShellState().inputButtonVisible);
  EXPECT_FALSE(RequestFullScreen(nullptr, 0x2A));
}

TEST(Platform, ScreenSizeIsSettableBeforeStart) {
  ASSERT_TRUE(SetScreenSize(480, 640));
  ASSERT_TRUE(StartPlatform());
  EXPECT_FALSE(SetScreenSize(240, 320)) << "not while running";
  EXPECT_EQ(GetSystemMetrics(kMetricScreenWidth), 480);
  Rect r;
  ASSERT_TRUE(GetWindowRect(GetTaskBar(), &r));
  EXPECT_EQ(r.right, 480);
  EXPECT_EQ(DefaultWindowArea().bottom, 640);
  StopPlatform();
  EXPECT_EQ(GetTaskBar(), nullptr);
  ASSERT_TRUE(SetScreenSize(240, 320));
}

TEST(Platform, SystemValues) {
  EXPECT_EQ(GetSystemMetrics(kMetricVScrollWidth), 13);
  EXPECT_EQ(GetSystemMetrics(kMetricEdgeWidth), 2);
  EXPECT_EQ(GetSystemMetrics(12345), 0);
  EXPECT_EQ(GetPlatformVersion().major, 4);
  EXPECT_EQ(GetPlatformVersion().minor, 20);
  SetPlatformVersion({4, 21});
  EXPECT_EQ(GetPlatformVersion().minor, 21);
  SetPlatformVersion({4, 20});
  EXPECT_TRUE(InitCommonControls());
  EXPECT_TRUE(HandleSettingChange(nullptr, 0, 0));
  EXPECT_GE(GetInputPanelState().settingChanges, 1);
}

}  // namespace
}  // namespace core_test

namespace core_test {
namespace {

using namespace pf;

using TaskBar = Core;

// The task bar shows the active window's title: renaming or changing the
// active window repaints it.
TEST_F(TaskBar, FollowsTheActiveWindowsTitle) {
  auto titleArea = [] {
    ComposeScreen();
    const Surface& s = ScreenSurface();
    std::vector<Pixel> pixels;
    for (int y = 0; y < kTaskBarHeight; ++y) {
      for (int x = 26; x < 150; ++x) pixels.push_back(s.At(x, y));
    }
    return pixels;
  };
  const HWin a = MakeTop(kStyleVisible, Rect{0, 26, 240, 320}, u"");
  Pump();
  const auto empty = titleArea();
  SetWindowText(a, u"Corvella");
  Pump();
  const auto named = titleArea();
  EXPECT_NE(named, empty);
  const HWin b = MakeTop(kStyleVisible, Rect{0, 26, 240, 320}, u"");
  Pump();
  EXPECT_EQ(titleArea(), empty);
  DestroyWindow(b);
  Pump();
  EXPECT_EQ(titleArea(), named);
}

}  // namespace
}  // namespace core_test
