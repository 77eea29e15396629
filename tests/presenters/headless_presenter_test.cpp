// The headless presenter driving a tiny program (one window that records what
// it receives) through scripts: stylus, keys, text, screenshots, quit, inside
// a modal loop too, and a command that fails while running.
#include "platform/presenter_headless/headless_presenter.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/constants.h"
#include "platform/gdi.h"
#include "platform/message.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "tests/presenters/png_read.h"

namespace pf {
namespace {

struct Received {
  std::uint32_t message;
  WParam wParam;
  LParam lParam;
  bool operator==(const Received&) const = default;
};

std::vector<Received> g_received;
bool g_modalDone = false;
bool g_charInModal = false;
int g_modalDepth = 0;

constexpr LParam Point(int x, int y) { return static_cast<LParam>((y << 16) | x); }

LResult RecorderProc(HWin window, std::uint32_t message, WParam wParam, LParam lParam) {
  switch (message) {
    case kMsgLButtonDown:
    case kMsgLButtonUp:
    case kMsgMouseMove:
    case kMsgKeyDown:
    case kMsgKeyUp:
    case kMsgChar:
    case kMsgClose:
      g_received.push_back({message, wParam, lParam});
      break;
    default:
      break;
  }
  if (message == kMsgChar && g_modalDepth > 0) {
    g_charInModal = true;
    if (wParam == u'x') g_modalDone = true;
  }
  if (message == kMsgKeyDown && wParam == kVkF2) {
    // Like a dialog: a nested loop until the user types "x".
    ++g_modalDepth;
    g_modalDone = false;
    RunModalLoop([] { return g_modalDone; });
    --g_modalDepth;
    return 0;
  }
  if (message == kMsgDestroy) PostQuitMessage(7);
  return DefaultWindowProc(window, message, wParam, lParam);
}

class HeadlessPresenterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_received.clear();
    g_modalDone = false;
    g_charInModal = false;
    g_modalDepth = 0;
    ASSERT_TRUE(StartPlatform());
    dir_ = std::filesystem::temp_directory_path() /
           ("corvella-headless-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    StopPlatform();
    std::filesystem::remove_all(dir_);
  }

  // A full-area window without frame: client = window = 0,26 .. 240,320.
  HWin MakeRecorder() {
    WindowClass wc;
    wc.procedure = RecorderProc;
    wc.background = static_cast<HBrush>(GetStockObject(StockObject::BlackBrush));
    wc.name = u"Recorder";
    RegisterWindowClass(wc);
    return CreateWindow(0, u"Recorder", u"Recorder", kStylePopup | kStyleVisible, kUseDefault,
                        kUseDefault, kUseDefault, kUseDefault, nullptr, 0, nullptr, nullptr);
  }

  // Parses `text` and runs the program's loop with the presenter until it
  // quits; returns the quit code.
  int Run(const std::string& text, HeadlessPresenter** presenterOut = nullptr) {
    Script script;
    script.name = "test.txt";
    ScriptError error;
    EXPECT_TRUE(ParseScript(text, ScreenWidth(), ScreenHeight(), &script, &error)) << error.message;
    presenter_ = std::make_unique<HeadlessPresenter>(std::move(script));
    presenter_->Install();
    if (presenterOut != nullptr) *presenterOut = presenter_.get();
    Msg msg;
    int result = 0;
    while ((result = GetMessage(&msg)) > 0) {
      TranslateMessage(msg);
      DispatchMessage(msg);
    }
    EXPECT_EQ(result, 0) << "the loop ended without a quit message";
    return QuitCode();
  }

  std::filesystem::path dir_;
  std::unique_ptr<HeadlessPresenter> presenter_;
};

TEST_F(HeadlessPresenterTest, FeedsStylusKeysAndTextThenQuits) {
  ASSERT_NE(MakeRecorder(), nullptr);
  const int code = Run(
      "tap 10 50\n"
      "down 20 60\n"
      "up 21 61\n"
      "key Left\n"
      "key b\n"
      "type a\xD7\xA9\xF0\x9F\x98\x80\n"
      "quit\n");
  EXPECT_EQ(code, 7);
  const std::vector<Received> expected = {
      {kMsgLButtonDown, 0, Point(10, 24)}, {kMsgLButtonUp, 0, Point(10, 24)},
      {kMsgLButtonDown, 0, Point(20, 34)}, {kMsgLButtonUp, 0, Point(21, 35)},
      {kMsgKeyDown, kVkLeft, 1},           {kMsgKeyUp, kVkLeft, 0xC0000001},
      {kMsgKeyDown, kVkA + 1, 1},          {kMsgChar, u'b', 1},
      {kMsgKeyUp, kVkA + 1, 0xC0000001},   {kMsgChar, u'a', 1},
      {kMsgChar, 0x05E9, 1},               {kMsgChar, 0xD83D, 1},
      {kMsgChar, 0xDE00, 1},               {kMsgClose, 0, 0},
  };
  ASSERT_EQ(g_received.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(g_received[i].message, expected[i].message) << i;
    // For the stylus the point is what counts (wParam holds button flags);
    // for keys and characters the code (lParam holds the queue's flags).
    if (expected[i].message == kMsgLButtonDown || expected[i].message == kMsgLButtonUp) {
      EXPECT_EQ(g_received[i].lParam, expected[i].lParam) << i;
    } else {
      EXPECT_EQ(g_received[i].wParam, expected[i].wParam) << i;
    }
  }
  EXPECT_FALSE(presenter_->Failed());
  EXPECT_FALSE(presenter_->ScriptPending());
}

TEST_F(HeadlessPresenterTest, RunsCommandsInsideAModalLoop) {
  ASSERT_NE(MakeRecorder(), nullptr);
  EXPECT_EQ(Run("key F2\ntype x\ntap 1 30\nquit\n"), 7);
  EXPECT_TRUE(g_charInModal);
  ASSERT_GE(g_received.size(), 5u);
  EXPECT_EQ(g_received[0], (Received{kMsgKeyDown, kVkF2, g_received[0].lParam}));
  EXPECT_EQ(g_received[1].message, kMsgKeyUp);  // the up half runs inside the nested loop
  EXPECT_EQ(g_received[2], (Received{kMsgChar, u'x', g_received[2].lParam}));
  EXPECT_EQ(g_received[3].message, kMsgLButtonDown);
  EXPECT_EQ(g_received[3].lParam, Point(1, 4));
  EXPECT_EQ(g_received.back().message, kMsgClose);
}

TEST_F(HeadlessPresenterTest, ScreenshotWritesTheComposedScreen) {
  ASSERT_NE(MakeRecorder(), nullptr);
  const std::string shot = (dir_ / "shot.png").string();
  EXPECT_EQ(Run("screenshot " + shot + "\nquit\n"), 7);
  presenter_test::Picture picture;
  ASSERT_TRUE(presenter_test::ReadPng(shot, &picture));
  EXPECT_EQ(picture.width, 240);
  EXPECT_EQ(picture.height, 320);
  // The window erased its client area black; the task bar above it is not.
  EXPECT_EQ(picture.At(120, 200), 0x000000u);
  EXPECT_EQ(picture.At(0, 319), 0x000000u);
  bool taskBarDrawn = false;
  for (int x = 0; x < 240; ++x) taskBarDrawn = taskBarDrawn || picture.At(x, 5) != 0;
  EXPECT_TRUE(taskBarDrawn);
}

TEST_F(HeadlessPresenterTest, ScreenshotThatCannotBeWrittenFailsAndCloses) {
  ASSERT_NE(MakeRecorder(), nullptr);
  HeadlessPresenter* presenter = nullptr;
  const std::string shot = (dir_ / "no-such-dir" / "shot.png").string();
  EXPECT_EQ(Run("key Up\nscreenshot " + shot + "\ntap 1 30\nquit\n", &presenter), 7);
  EXPECT_TRUE(presenter->Failed());
  EXPECT_EQ(presenter->FailureMessage().rfind("script test.txt:2: screenshot: ", 0), 0u)
      << presenter->FailureMessage();
  EXPECT_FALSE(presenter->ScriptPending());
  // The rest of the script was dropped: no tap, one close.
  for (const Received& r : g_received) EXPECT_NE(r.message, kMsgLButtonDown);
  EXPECT_EQ(g_received.back().message, kMsgClose);
  EXPECT_FALSE(std::filesystem::exists(shot));
}

TEST_F(HeadlessPresenterTest, QuitWithoutAWindowFailsWithAQuitMessage) {
  HeadlessPresenter* presenter = nullptr;
  EXPECT_EQ(Run("quit\n", &presenter), 2);
  EXPECT_TRUE(presenter->Failed());
  EXPECT_EQ(presenter->FailureMessage(), "script test.txt:1: quit: there is no window to close");
}

TEST_F(HeadlessPresenterTest, WithTheScriptDoneItWakesForTheEndpoint) {
  HeadlessPresenter presenter;
  EXPECT_FALSE(presenter.ScriptPending());
  EXPECT_EQ(presenter.NextLine(), 0);
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  ASSERT_EQ(write(fds[1], "x", 1), 1);
  // A readable descriptor ends the wait at once; a day-long timeout would
  // hang the test otherwise.
  presenter.OnIdle(IdleRequest{fds[0], 24 * 3600 * 1000});
  close(fds[0]);
  close(fds[1]);
}

TEST_F(HeadlessPresenterTest, TapIsTwoHalvesAcrossIdleCalls) {
  Script script;
  ScriptError error;
  ASSERT_TRUE(ParseScript("\ntap 3 4\nquit", 240, 320, &script, &error));
  HeadlessPresenter presenter(std::move(script));
  EXPECT_EQ(presenter.NextLine(), 2);
  presenter.OnIdle(IdleRequest{-1, 0});
  EXPECT_TRUE(presenter.ScriptPending());
  EXPECT_EQ(presenter.NextLine(), 2);  // the up half of the tap is still to come
  presenter.OnIdle(IdleRequest{-1, 0});
  EXPECT_EQ(presenter.NextLine(), 3);
}

}  // namespace
}  // namespace pf
