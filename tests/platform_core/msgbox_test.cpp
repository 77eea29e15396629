// Message boxes: the test seam, keys, taps, the owner and a quit message.
#include <deque>
#include <functional>

#include "platform/message.h"
#include "platform/msgbox.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "tests/platform_core/core_fixture.h"

namespace core_test {
namespace {

using namespace pf;

using MessageBoxes = Core;

// Runs each step once the box loop is idle.
void Script(std::deque<std::function<void()>> steps) {
  SetIdleHandler([steps = std::move(steps)](const IdleRequest&) mutable {
    if (steps.empty()) {
      PostQuitMessage(99);  // a test that hangs would end here
      return;
    }
    auto step = steps.front();
    steps.pop_front();
    step();
  });
}

TEST_F(MessageBoxes, AnswererSeesTheCallAndAnswersIt) {
  std::vector<MessageBoxCall> calls;
  SetMessageBoxAnswerer([&](const MessageBoxCall& c) {
    calls.push_back(c);
    return kIdNo;
  });
  const HWin owner = MakeTop();
  EXPECT_EQ(MessageBox(owner, u"There is not enough memory, aborting", u"Error", kBoxIconStop), kIdNo);
  EXPECT_EQ(MessageBox(nullptr, u"UnCompress() buffer error!", nullptr, kBoxOk), kIdNo);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].owner, owner);
  EXPECT_EQ(calls[0].text, u"There is not enough memory, aborting");
  EXPECT_EQ(calls[0].style, 0x10u);
  EXPECT_EQ(calls[1].caption, u"Error") << "the default caption";
  EXPECT_EQ(GetOpenMessageBox(), nullptr);
}

TEST_F(MessageBoxes, KeysChooseButtons) {
  struct Case {
    std::uint32_t style;
    std::vector<std::uint32_t> keys;
    int want;
  };
  const Case cases[] = {
      {kBoxOk, {kVkReturn}, kIdOk},
      {kBoxOk, {kVkEscape}, kIdOk},
      {kBoxOkCancel, {kVkEscape}, kIdCancel},
      {kBoxOkCancel, {kVkReturn}, kIdOk},
      {kBoxYesNo, {kVkEscape}, kIdNo},
      {kBoxYesNo | kBoxDefaultButton2, {kVkReturn}, kIdNo},
      {kBoxYesNoCancel | kBoxIconQuestion, {kVkRight, kVkRight, kVkReturn}, kIdCancel},
      {kBoxYesNoCancel, {kVkLeft, kVkReturn}, kIdCancel},
      {kBoxYesNoCancel, {kVkEscape}, kIdCancel},
  };
  for (const Case& c : cases) {
    std::deque<std::function<void()>> steps;
    for (std::uint32_t k : c.keys) steps.push_back([k] { InjectKeyDown(k); });
    Script(std::move(steps));
    EXPECT_EQ(MessageBox(nullptr, u"Question?", u"Corvella", c.style), c.want) << std::hex << c.style;
    EXPECT_EQ(GetOpenMessageBox(), nullptr);
    SetIdleHandler({});
  }
}

TEST_F(MessageBoxes, OwnerIsDisabledMeanwhileAndGetsActivationAndFocusBack) {
  const HWin owner = MakeTop(kStyleVisible, Rect{0, 26, 240, 320}, u"Owner");
  const HWin field = MakeChild(owner, Rect{0, 0, 100, 20}, 3);
  SetFocus(field);
  Pump();
  bool ownerEnabled = true;
  Rect boxRect;
  HWin box = nullptr;
  int ownerTaps = 0;
  Script({[&] {
            box = GetOpenMessageBox();
            ownerEnabled = IsWindowEnabled(owner);
            GetWindowRect(box, &boxRect);
            // A tap on the owner beside the box is dropped.
            InjectStylusDown(2, 300);
            InjectStylusUp(2, 300);
          },
          [&] {
            for (const Seen& s : Log()) ownerTaps += s.window == owner && s.message == kMsgLButtonDown;
            ComposeScreen();
            InjectKeyDown(kVkReturn);
          }});
  Log().clear();
  EXPECT_EQ(MessageBox(field, u"Resource not found", u"Error", kBoxIconExclamation), kIdOk);
  SetIdleHandler({});
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(ownerEnabled);
  EXPECT_EQ(ownerTaps, 0);
  EXPECT_EQ(boxRect.left + boxRect.right, ScreenWidth()) << "centred";
  EXPECT_NEAR(boxRect.top + boxRect.bottom, ScreenHeight(), 1);
  EXPECT_FALSE(IsWindow(box));
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(GetActiveWindow(), owner);
  EXPECT_EQ(GetFocus(), field);
}

TEST_F(MessageBoxes, ATapOnAButtonChoosesIt) {
  // Yes and No side by side, centred: find the No button by tapping across
  // the bottom row of the box until the answer is not Yes.
  Rect boxRect;
  Script({[&] {
    GetWindowRect(GetOpenMessageBox(), &boxRect);
    // The buttons sit 8 pixels above the bottom of the client area, 22 high.
    const int y = boxRect.bottom - 2 - 8 - 11;
    const int x = (boxRect.left + boxRect.right) / 2 + 4 + 28;  // middle of the right button
    InjectStylusDown(x, y);
    InjectStylusUp(x, y);
  }});
  EXPECT_EQ(MessageBox(nullptr, u"Remove the bookmark?", u"Corvella", kBoxYesNo), kIdNo);
  SetIdleHandler({});
}

TEST_F(MessageBoxes, QuitEndsTheBoxAndReachesTheOuterLoop) {
  Script({[] { PostQuitMessage(5); }});
  EXPECT_EQ(MessageBox(nullptr, u"Not Found!", u"Corvella", kBoxOkCancel), kIdCancel);
  SetIdleHandler({});
  Msg m;
  ASSERT_EQ(GetMessage(&m), 0);
  EXPECT_EQ(m.wParam, 5u);
}

TEST_F(MessageBoxes, LongTextIsWrappedAndTheBoxStaysOnTheScreen) {
  std::u16string text;
  for (int i = 0; i < 400; ++i) text += u"word ";
  Rect boxRect;
  Script({[&] {
    GetWindowRect(GetOpenMessageBox(), &boxRect);
    InjectKeyDown(kVkReturn);
  }});
  EXPECT_EQ(MessageBox(nullptr, text.c_str(), u"Long", kBoxOk), kIdOk);
  SetIdleHandler({});
  EXPECT_GE(boxRect.top, 0);
  EXPECT_LE(boxRect.bottom, ScreenHeight());
}

}  // namespace
}  // namespace core_test
