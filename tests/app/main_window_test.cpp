#include "app/main_window.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "app/app_state.h"
#include "app/menu_bar.h"
#include "app/settings.h"
#include "index/bookmarks.h"
#include "platform/commandbar.h"
#include "platform/font.h"
#include "platform/menu.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/window.h"
#include "tests/app/app_test_support.h"
#include "view/article_view.h"

namespace {

void SetDeviceOption(const char16_t* name, std::int32_t value) {
  pf::HKey key = nullptr;
  ASSERT_EQ(pf::CreateKey(kDeviceOptionsKey, pf::kKeyAllAccess, &key), pf::kRegSuccess);
  const auto v = static_cast<std::uint32_t>(value);
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                 static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
  ASSERT_EQ(pf::WriteValue(key, name, pf::kRegNumber, bytes, 4), pf::kRegSuccess);
  pf::CloseKey(key);
}

class MainWindowTest : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    // Exact metrics whatever fonts are installed.
    ASSERT_EQ(WriteSettingString(u"FontName", pf::kTestFontFace.data()), 1);
  }
  void TearDown() override {
    pf::SetPlatformVersion({4, 20});
    AppFixture::TearDown();
  }

  static pf::LResult Key(std::uint32_t key) { return pf::SendMessage(App.MainWindow, pf::kMsgKeyDown, key, 1); }
  static void Command(int id) { pf::SendMessage(App.MainWindow, pf::kMsgCommand, static_cast<pf::WParam>(id), 0); }
  static void Tap(int x, int y) {
    pf::SendMessage(App.MainWindow, pf::kMsgLButtonDown, 0, static_cast<pf::LParam>(x | (y << 16)));
  }
  static int Top() { return App.View->topLine; }
  static bool Checked(int command) {
    pf::HMenu menu = App.ShellMenuBar != 0
                         ? reinterpret_cast<pf::HMenu>(pf::SendMessage(App.BarWindow, pf::kMsgMenuBarGetSubMenu, 0,
                                                                       kMenuBarGoButton))
                         : pf::CommandBarGetMenu(App.BarWindow, 0);
    return (pf::GetMenuState(menu, static_cast<unsigned>(command), pf::kMenuByCommand) & pf::kMenuChecked) != 0;
  }
};

TEST_F(MainWindowTest, TheBarTakesItsFormFromVersionAndOption) {
  struct Case {
    pf::PlatformVersion version;
    int onBottom;
    bool shellBar;
  };
  const Case cases[] = {{{4, 20}, 0, false}, {{4, 21}, 0, true}, {{5, 0}, 0, true}, {{3, 0}, 1, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version.major * 100 + c.version.minor);
    pf::SetPlatformVersion(c.version);
    SetDeviceOption(u"MenuBarOnBottom", c.onBottom);
    EXPECT_EQ(RunOnce(u"", [&] {
                ASSERT_NE(App.BarWindow, nullptr);
                ASSERT_NE(App.View, nullptr);
                EXPECT_EQ(App.ShellMenuBar != 0, c.shellBar);
                EXPECT_GT(App.BarHeight, 0);
                pf::Rect bar;
                pf::GetWindowRect(App.BarWindow, &bar);
                if (c.shellBar) {
                  // At the bottom, leaving the scroll bar's column free.
                  EXPECT_EQ(bar.bottom, pf::ScreenHeight());
                  EXPECT_EQ(bar.Width(), pf::ScreenWidth() - pf::GetSystemMetrics(pf::kMetricVScrollWidth));
                  EXPECT_EQ(App.View->top, 0);
                } else {
                  EXPECT_EQ(App.View->top, App.BarHeight);
                }
                // Seven toolbar buttons with their tooltips, after the menu.
                std::vector<int> commands;
                std::vector<std::u16string> tips;
                for (const pf::BarButtonInfo& button : pf::CommandBarButtons(App.BarWindow)) {
                  if (button.kind != pf::BarButtonKind::Image) continue;
                  commands.push_back(button.command);
                  tips.push_back(button.toolTip);
                }
                EXPECT_EQ(commands, (std::vector<int>{110, 108, 109, 40006, 116, 117, 107}));
                EXPECT_EQ(tips, (std::vector<std::u16string>{u"Previous Day", u"Today", u"Next Day", u"Choose Font",
                                                             u"Search", u"Search Again", u"Choose Article"}));
              }),
              0);
  }
}

TEST_F(MainWindowTest, FullScreenGivesTheCommandBarAClose_Button) {
  SetDeviceOption(u"FullScreen", 1);
  RunOnce(u"", [&] {
    const auto buttons = pf::CommandBarButtons(App.BarWindow);
    ASSERT_FALSE(buttons.empty());
    EXPECT_EQ(buttons.back().kind, pf::BarButtonKind::Close);
  });
  pf::SetPlatformVersion({4, 21});
  RunOnce(u"", [&] {
    for (const pf::BarButtonInfo& button : pf::CommandBarButtons(App.BarWindow)) {
      EXPECT_NE(button.kind, pf::BarButtonKind::Close);
    }
  });
}

TEST_F(MainWindowTest, KeysPageAndScrollWithinTheLesson) {
  RunOnce(u"", [&] {
    ArticleView* view = App.View;
    ASSERT_NE(view, nullptr);
    ASSERT_GT(view->maxTopLine, 20);
    const int page = view->paintedCount - 1;
    ASSERT_GT(page, 1);

    EXPECT_EQ(Key(pf::kVkHome), 0);  // at the top: pages back, stays
    EXPECT_EQ(Top(), 0);
    Key(pf::kVkEnd);                 // at the top: brings maxTopLine up
    EXPECT_EQ(Top(), view->maxTopLine);
    Key(pf::kVkHome);
    EXPECT_EQ(Top(), 0);
    Key(pf::kVkNext);
    EXPECT_EQ(Top(), page);
    Key(pf::kVkDown);
    EXPECT_EQ(Top(), page + 1);
    Key(pf::kVkUp);
    // The page is what the last paint showed, here and now.
    const int back = view->paintedCount - 1;
    Key(pf::kVkPrior);
    EXPECT_EQ(Top(), std::max(0, page - back));
    Key(pf::kVkHome);
    EXPECT_EQ(Key(pf::kVkReturn), 1);  // no search pattern: nothing
    EXPECT_EQ(Key('Q'), 1);            // other keys are ignored
    EXPECT_EQ(Top(), 0);

    // Key page mode 2: half the rows shown.
    App.Flags = (App.Flags & ~kFlagKeyPageMask) | (2u << kFlagKeyPageShift);
    ASSERT_EQ(Top(), 0);
    const int half = view->paintedCount / 2;
    Key(pf::kVkNext);
    EXPECT_EQ(Top(), half);

    // The scroll bar follows.
    pf::ScrollInfo info;
    ASSERT_TRUE(pf::GetScrollInfo(App.MainWindow, pf::kBarVertical, &info));
    EXPECT_EQ(info.position, Top());
    EXPECT_EQ(info.max, view->maxTopLine);
  });
}

TEST_F(MainWindowTest, ScrollBarRequestsMoveTheView) {
  RunOnce(u"", [&] {
    ArticleView* view = App.View;
    ASSERT_NE(view, nullptr);
    const auto scroll = [](std::uint32_t request, int position = 0) {
      return pf::SendMessage(App.MainWindow, pf::kMsgVScroll,
                             request | (static_cast<std::uint32_t>(position & 0xFFFF) << 16), 0);
    };
    EXPECT_EQ(scroll(pf::kScrollBottom), 1);  // "bottom" moves one line down
    EXPECT_EQ(Top(), 1);
    scroll(pf::kScrollThumbPosition, 10);
    EXPECT_EQ(Top(), 10);
    scroll(pf::kScrollThumbTrack, -1);  // a signed position: back to the top
    EXPECT_EQ(Top(), 0);
    const int page = view->paintedCount - 1;
    scroll(pf::kScrollPageDown);
    EXPECT_EQ(Top(), page);
    scroll(pf::kScrollTop);
    EXPECT_EQ(Top(), 0);
  });
}

TEST_F(MainWindowTest, TapsPageByZones) {
  RunOnce(u"", [&] {
    ArticleView* view = App.View;
    ASSERT_NE(view, nullptr);
    // Each tap moves by the rows the last paint showed, less one.
    const auto tapMoves = [&](int x, int y) {
      const int before = Top();
      const int page = view->paintedCount - 1;
      Tap(x, y);
      if (Top() == before) return 0;
      EXPECT_EQ(std::abs(Top() - before), Top() == 0 ? std::min(before, page) : page);
      return Top() > before ? 1 : -1;
    };
    const int x = view->left + view->width / 2;
    EXPECT_EQ(tapMoves(x, view->top + view->height - 2), 1);  // lower half: forward
    EXPECT_EQ(tapMoves(x, view->top + 2), -1);                // upper half: back
    EXPECT_EQ(tapMoves(x, view->top + view->height - 2), 1);
    EXPECT_EQ(tapMoves(x, view->top + view->height + 1), 0);  // below the view: nothing
    EXPECT_EQ(tapMoves(x, view->top - App.Gutter), -1);       // the top edge still counts

    App.Flags &= ~kFlagTapZonesVertical;  // left and right halves
    EXPECT_EQ(tapMoves(view->left + view->width - 2, view->top + 2), 1);
    EXPECT_EQ(tapMoves(view->left + 1, view->top + view->height - 2), -1);

    App.Flags &= ~kFlagTapScrolling;
    EXPECT_EQ(tapMoves(view->left + view->width - 2, view->top + 2), 0);
  });
}

TEST_F(MainWindowTest, LessonsStepWithWrapAroundAndTodayReturns) {
  ASSERT_EQ(WriteSettingNumber(u"Lesson", 245), 1);
  ASSERT_EQ(WriteSettingNumber(u"Flags", static_cast<std::int32_t>(kDefaultFlags | kFlagChosenByHand)), 1);
  RunOnce(u"", [&] {
    EXPECT_EQ(App.Lesson, 245);
    Key(pf::kVkRight);
    EXPECT_EQ(App.Lesson, 1);
    Key(pf::kVkLeft);
    EXPECT_EQ(App.Lesson, 245);
    Command(kCmdNextArticle);
    EXPECT_EQ(App.Lesson, 1);
    Command(kCmdPreviousArticle);
    EXPECT_EQ(App.Lesson, 245);
    EXPECT_NE(App.Flags & kFlagChosenByHand, 0u);
    Key(pf::kVkNext);
    ASSERT_GT(Top(), 0);
    Command(kCmdToday);  // 30 September 2008: lesson 1, at its top
    EXPECT_EQ(App.Lesson, 1);
    EXPECT_EQ(Top(), 0);
    EXPECT_EQ(App.Flags & kFlagChosenByHand, 0u);
  });
}

TEST_F(MainWindowTest, ReverseAndBookmarkMarksFollowTheirState) {
  RunOnce(u"", [&] {
    const std::uint32_t flags = App.Flags;
    EXPECT_FALSE(Checked(kCmdReverse));
    Command(kCmdReverse);
    EXPECT_TRUE(Checked(kCmdReverse));
    EXPECT_NE(App.Flags & kFlagReverse, 0u);
    Command(kCmdReverse);
    EXPECT_FALSE(Checked(kCmdReverse));
    EXPECT_EQ(App.Flags, flags);

    EXPECT_FALSE(Checked(kCmdBookmark));
    Command(kCmdBookmark);
    EXPECT_TRUE(Checked(kCmdBookmark));
    Command(kCmdNextArticle);  // another lesson: not bookmarked
    EXPECT_FALSE(Checked(kCmdBookmark));
    Command(kCmdPreviousArticle);
    EXPECT_TRUE(Checked(kCmdBookmark));
  });
  // The bookmark was stored at exit.
  std::uint32_t length = 0;
  void* stored = ReadSettingBlob(u"Bookmarks", nullptr, &length);
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(length, 4u);
  ReleaseBlock(stored);
}

TEST_F(MainWindowTest, ExitAndThePositionAreStored) {
  int top = 0;
  RunOnce(u"", [&] {
    Key(pf::kVkNext);
    Key(pf::kVkDown);
    top = Top();
    Command(kCmdExit);
  });
  EXPECT_GT(top, 1);
  EXPECT_EQ(ReadSettingNumber(u"LastPosition", 0), top);
  // The next start opens at the same row.
  RunOnce(u"", [&] { EXPECT_EQ(Top(), top); });
}

}  // namespace
