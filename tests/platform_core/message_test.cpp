// The message queue: posting and sending, quit, translation, paint synthesis,
// nested modal loops, the idle hook and injected input.
#include <algorithm>
#include <deque>
#include <functional>

#include "platform/message.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "tests/platform_core/core_fixture.h"

namespace core_test {
namespace {

using namespace pf;

using Messages = Core;

TEST_F(Messages, PostedMessagesComeInOrderThenQuitWithItsCode) {
  const HWin w = MakeTop();
  Pump();
  ASSERT_TRUE(PostMessage(w, kMsgUser, 1, 0));
  PostQuitMessage(7);
  ASSERT_TRUE(PostMessage(w, kMsgUser + 1, 2, 0));
  ASSERT_TRUE(PostMessage(nullptr, kMsgUser + 2, 3, 0));  // a thread message
  Msg m;
  ASSERT_EQ(GetMessage(&m), 1);
  EXPECT_EQ(m.message, kMsgUser);
  ASSERT_EQ(GetMessage(&m), 1);
  EXPECT_EQ(m.message, kMsgUser + 1);
  ASSERT_EQ(GetMessage(&m), 1);
  EXPECT_EQ(m.window, nullptr);
  EXPECT_EQ(DispatchMessage(m), 0) << "a thread message goes to no window";
  ASSERT_EQ(GetMessage(&m), 0);
  EXPECT_EQ(m.message, kMsgQuit);
  EXPECT_EQ(m.wParam, 7u);
  EXPECT_EQ(QuitCode(), 7);
  // Nothing left, no presenter, no endpoint: nothing can ever arrive.
  EXPECT_EQ(GetMessage(&m), -1);
  EXPECT_FALSE(PeekMessage(&m, true));
}

TEST_F(Messages, SendCallsTheProcedureAtOnce) {
  static HWin seen = nullptr;
  WindowClass wc;
  wc.name = u"Answer";
  wc.procedure = [](HWin h, std::uint32_t m, WParam wp, LParam lp) -> LResult {
    if (m == kMsgUser) {
      seen = h;
      return static_cast<LResult>(wp) + lp;
    }
    return DefaultWindowProc(h, m, wp, lp);
  };
  ASSERT_TRUE(RegisterWindowClass(wc));
  const HWin w = CreateWindow(0, u"Answer", u"", 0, 0, 0, 10, 10, nullptr, 0, nullptr, nullptr);
  EXPECT_EQ(SendMessage(w, kMsgUser, 40, 2), 42);
  EXPECT_EQ(seen, w);
  EXPECT_EQ(SendMessage(w, 0x7FFF, 0, 0), 0) << "unknown messages give 0";
}

TEST_F(Messages, TranslateTypesCharactersForPrintableKeys) {
  struct Case {
    std::uint32_t key;
    bool shift;
    char16_t want;  // 0: no character
  };
  const Case cases[] = {
      {kVkA, false, u'a'},         {kVkA + 25, true, u'Z'},    {kVk0 + 5, false, u'5'},
      {kVkSpace, false, u' '},     {kVkReturn, false, u'\r'},  {kVkBack, false, u'\b'},
      {kVkEscape, false, u'\x1B'}, {kVkDown, false, 0},        {kVkF3, false, 0},
  };
  const HWin w = MakeTop();
  Pump();
  for (const Case& c : cases) {
    if (c.shift) InjectKeyDown(kVkShift);
    InjectKeyDown(c.key);
    if (c.shift) InjectKeyUp(kVkShift);
    Log().clear();
    Pump();
    std::vector<char16_t> chars;
    for (const Seen& s : Log()) {
      if (s.message == kMsgChar) chars.push_back(static_cast<char16_t>(s.wParam));
    }
    if (c.want == 0) {
      EXPECT_TRUE(chars.empty()) << c.key;
    } else {
      ASSERT_EQ(chars.size(), 1u) << c.key;
      EXPECT_EQ(chars[0], c.want);
      EXPECT_EQ(Log().back().window, w);
    }
  }
}

TEST_F(Messages, PaintComesAfterPostedMessagesAndOnlyForShownWindows) {
  ShowWindow(GetTaskBar(), kShowHide);  // it repaints on every activation
  const HWin shown = MakeTop(kStyleVisible, Rect{0, 26, 100, 100}, u"Shown");
  const HWin hidden = MakeTop(0, Rect{0, 26, 100, 100}, u"Hidden");
  Pump();
  InvalidateRect(shown, nullptr, true);
  InvalidateRect(hidden, nullptr, true);
  PostMessage(shown, kMsgUser, 0, 0);
  Msg m;
  ASSERT_TRUE(PeekMessage(&m, true));
  EXPECT_EQ(m.message, kMsgUser);
  ASSERT_TRUE(PeekMessage(&m, true));
  EXPECT_EQ(m.message, kMsgPaint);
  EXPECT_EQ(m.window, shown);
  ASSERT_TRUE(PeekMessage(&m, true)) << "a paint message stays until the window is validated";
  EXPECT_EQ(m.window, shown);
  DispatchMessage(m);
  EXPECT_FALSE(PeekMessage(&m, true)) << "the hidden window is not painted";
  ShowWindow(hidden, kShowNormal);
  ASSERT_TRUE(PeekMessage(&m, true));
  EXPECT_EQ(m.window, hidden);
}

TEST_F(Messages, AWindowThatIgnoresPaintCannotMakeTheLoopSpin) {
  WindowClass wc;
  wc.name = u"Lazy";
  wc.procedure = [](HWin, std::uint32_t, WParam, LParam) -> LResult { return 0; };
  ASSERT_TRUE(RegisterWindowClass(wc));
  Pump();
  const HWin w = CreateWindow(0, u"Lazy", u"", kStyleVisible, 0, 26, 50, 50, nullptr, 0, nullptr, nullptr);
  ShowWindow(GetTaskBar(), kShowHide);
  Msg m;
  ASSERT_TRUE(PeekMessage(&m, true));
  ASSERT_EQ(m.message, kMsgPaint);
  DispatchMessage(m);
  Rect r;
  EXPECT_FALSE(GetUpdateRect(w, &r));
  EXPECT_FALSE(PeekMessage(&m, true));
}

TEST_F(Messages, ModalLoopEndsWhenDoneAndKeepsOtherWindowsPainting) {
  static bool done = false;
  static int mainPaints = 0;
  done = false;
  mainPaints = 0;
  WindowClass wc;
  wc.name = u"Main";
  wc.procedure = [](HWin h, std::uint32_t m, WParam wp, LParam lp) -> LResult {
    if (m == kMsgPaint) ++mainPaints;
    if (m == kMsgUser) done = true;
    return DefaultWindowProc(h, m, wp, lp);
  };
  ASSERT_TRUE(RegisterWindowClass(wc));
  const HWin main = CreateWindow(0, u"Main", u"", kStyleVisible, 0, 26, 240, 294, nullptr, 0, nullptr, nullptr);
  Pump();
  mainPaints = 0;
  InvalidateRect(main, nullptr, false);
  std::deque<std::function<void()>> script{
      [main] { PostMessage(main, kMsgUser + 1, 0, 0); },
      [main] { PostMessage(main, kMsgUser, 0, 0); },
  };
  int idleCalls = 0;
  SetIdleHandler([&](const IdleRequest&) {
    ++idleCalls;
    if (!script.empty()) {
      script.front()();
      script.pop_front();
    }
  });
  EXPECT_TRUE(RunModalLoop([] { return done; }));
  EXPECT_EQ(mainPaints, 1) << "painting goes on inside the modal loop";
  EXPECT_EQ(idleCalls, 2);
  SetIdleHandler({});
}

TEST_F(Messages, QuitInsideNestedLoopsEndsThemAllWithTheCode) {
  const HWin w = MakeTop();
  Pump();
  int innerResult = -1;
  int middleIdle = 0;
  SetIdleHandler([&](const IdleRequest&) {
    ++middleIdle;
    PostQuitMessage(3);
  });
  // Two nested loops inside an outer GetMessage loop.
  const bool outer = RunModalLoop([&] {
    if (innerResult < 0) innerResult = RunModalLoop([] { return false; }) ? 1 : 0;
    return false;
  });
  EXPECT_FALSE(outer);
  EXPECT_EQ(innerResult, 0);
  EXPECT_EQ(middleIdle, 1) << "the quit passed up without waiting again";
  SetIdleHandler({});
  Msg m;
  ASSERT_EQ(GetMessage(&m), 0) << "the outermost loop sees the quit too";
  EXPECT_EQ(m.wParam, 3u);
  EXPECT_EQ(QuitCode(), 3);
  (void)w;
}

TEST_F(Messages, NoAcceleratorsAreDefined) {
  const HAccel table = LoadAccelerators(nullptr, 3);
  EXPECT_EQ(table, nullptr);
  const Msg key{nullptr, kMsgKeyDown, kVkF3, 1};
  EXPECT_EQ(TranslateAccelerator(nullptr, table, key), 0);
}

TEST_F(Messages, StylusGoesToTheWindowUnderItWithCaptureWhilePressed) {
  const HWin back = MakeTop(kStyleVisible, Rect{0, 26, 240, 320}, u"Back");
  const HWin child = MakeChild(back, Rect{10, 10, 60, 60}, 1);
  const HWin front = MakeTop(kStyleVisible, Rect{100, 100, 200, 200}, u"Front");
  Pump();
  ASSERT_EQ(GetActiveWindow(), front);
  Log().clear();
  InjectStylusDown(20, 50);  // child of the back window, at client (10, 14)
  InjectStylusMove(-5, 30);  // outside: still the child, coordinates wrap
  InjectStylusUp(-5, 30);
  InjectStylusMove(150, 150);  // no capture now: the window under it, the back one, now on top
  Pump();
  const auto log = Interesting();
  std::vector<Seen> stylus;
  for (const Seen& s : log) {
    if (s.message >= kMsgMouseMove && s.message <= kMsgLButtonUp) stylus.push_back(s);
  }
  ASSERT_EQ(stylus.size(), 4u);
  EXPECT_EQ(stylus[0].window, child);
  EXPECT_EQ(stylus[0].message, kMsgLButtonDown);
  EXPECT_EQ(stylus[0].lParam, 10 | (14 << 16));
  EXPECT_EQ(stylus[1].window, child);
  EXPECT_EQ(stylus[1].lParam & 0xFFFF, (-15) & 0xFFFF);
  EXPECT_EQ(stylus[2].message, kMsgLButtonUp);
  EXPECT_EQ(stylus[3].window, back);
  EXPECT_EQ(stylus[3].message, kMsgMouseMove);
  EXPECT_EQ(stylus[3].lParam, 150 | (124 << 16));
  EXPECT_EQ(GetActiveWindow(), back) << "a tap activates";
  const auto activation = std::find_if(log.begin(), log.end(), [back](const Seen& s) {
    return s.window == back && s.message == kMsgActivate;
  });
  ASSERT_NE(activation, log.end());
  EXPECT_EQ(activation->wParam & 0xFFFF, kActivateClick);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Messages, StylusSkipsTransparentAndDisabledWindows) {
  WindowClass glass;
  glass.name = u"Glass";
  glass.procedure = [](HWin h, std::uint32_t m, WParam wp, LParam lp) -> LResult {
    if (m == kMsgNcHitTest) return kHitTransparent;
    Log().push_back(Seen{h, m, wp, lp});
    return DefaultWindowProc(h, m, wp, lp);
  };
  ASSERT_TRUE(RegisterWindowClass(glass));
  const HWin dialog = MakeTop(kStyleVisible, Rect{0, 26, 240, 320}, u"Dialog");
  const HWin picture =
      CreateWindow(0, u"Glass", u"", kStyleChild | kStyleVisible, 10, 10, 100, 50, dialog, 0, nullptr, nullptr);
  ASSERT_NE(picture, nullptr);
  Pump();
  Log().clear();
  InjectStylusDown(20, 40);
  InjectStylusUp(20, 40);
  Pump();
  auto log = Interesting();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log[0].window, dialog) << "the picture lets the tap through to the dialog";
  EXPECT_EQ(log[0].lParam, 20 | (14 << 16)) << "in the dialog's coordinates";

  const HWin box = MakeTop(kStyleVisible, Rect{50, 100, 150, 150}, u"Box", dialog);
  EnableWindow(dialog, false);
  Pump();
  Log().clear();
  InjectStylusDown(5, 200);
  InjectStylusUp(5, 200);
  InjectKeyDown(kVkReturn);
  Pump();
  log = Interesting();
  for (const Seen& s : log) EXPECT_NE(s.window, dialog) << std::hex << s.message;
  EXPECT_EQ(GetActiveWindow(), box);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log[0].window, box);
  EXPECT_EQ(log[0].message, kMsgKeyDown) << "keys go to the focus";
}

TEST_F(Messages, InjectedCloseAndCharactersReachTheActiveWindow) {
  const HWin w = MakeTop();
  Pump();
  Log().clear();
  InjectChar(u'\u05D0');
  ASSERT_TRUE(InjectClose());
  Pump();
  const auto log = Interesting();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[0].message, kMsgChar);
  EXPECT_EQ(log[0].wParam, 0x05D0u);
  EXPECT_EQ(log[1].message, kMsgClose);
  EXPECT_FALSE(IsWindow(w)) << "the default procedure destroys on close";
  EXPECT_FALSE(InjectClose()) << "no window left to close";
}

}  // namespace
}  // namespace core_test

namespace core_test {
namespace {

using namespace pf;

using NonClient = Core;

TEST_F(NonClient, CaptionOkButtonAndScrollBarTaps) {
  const HWin dialog = MakeTop(kStyleVisible | kStyleCaption | kStyleVScroll, Rect{0, 26, 240, 320}, u"Choose",
                              nullptr, kExStyleCaptionOkButton);
  Pump();
  Rect window;
  ASSERT_TRUE(GetWindowRect(dialog, &window));
  // The OK button sits at the right end of the caption.
  const int captionMiddle = window.top + 2 + 13;
  Log().clear();
  InjectStylusDown(window.right - 14, captionMiddle);
  InjectStylusUp(window.right - 14, captionMiddle);
  Pump();
  auto log = Interesting(dialog);
  const auto command = std::find_if(log.begin(), log.end(), [](const Seen& s) { return s.message == kMsgCommand; });
  ASSERT_NE(command, log.end());
  EXPECT_EQ(command->wParam, static_cast<WParam>(kIdOk));
  EXPECT_EQ(log.front().message, kMsgNcLButtonDown);

  // With hooks installed, taps on the bar go to them in window coordinates.
  static std::vector<std::pair<std::uint32_t, Point>> taken;
  taken.clear();
  NonClientHooks hooks;
  hooks.stylus = [](HWin, std::uint32_t m, Point p) {
    taken.emplace_back(m, p);
    return true;
  };
  SetNonClientHooks(hooks);
  const Rect bar = GetVScrollBarRect(dialog);
  ASSERT_FALSE(bar.Empty());
  InjectStylusDown(window.left + bar.left + 3, window.top + bar.top + 40);
  InjectStylusMove(window.left + bar.left + 3, window.top + bar.top + 60);
  InjectStylusUp(20, 300);  // released elsewhere: still the bar's (capture)
  Pump();
  ASSERT_EQ(taken.size(), 3u);
  EXPECT_EQ(taken[0].first, kMsgLButtonDown);
  EXPECT_EQ(taken[0].second.x, bar.left + 3);
  EXPECT_EQ(taken[0].second.y, bar.top + 40);
  EXPECT_EQ(taken[1].first, kMsgMouseMove);
  EXPECT_EQ(taken[2].first, kMsgLButtonUp);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Messages, TheHelpKeyAsksTheActiveWindowForHelp) {
  const HWin top = MakeTop();
  const HWin child = CreateWindow(0, u"Rec", u"", kStyleChild | kStyleVisible, 0, 0, 10, 10, top, 1, nullptr,
                                  nullptr);
  SetFocus(child);
  Pump();
  Log().clear();
  InjectKeyDown(kVkF1);
  Pump();
  const auto log = Interesting();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log[0].window, top);
  EXPECT_EQ(log[0].message, kMsgHelp);
}

}  // namespace
}  // namespace core_test
