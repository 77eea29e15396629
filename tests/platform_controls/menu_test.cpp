// Menus: building and loading them, check marks and states, item text, and
// tracking a pop-up on the screen.
#include <string>
#include <vector>

#include "platform/menu.h"
#include "platform/message.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "tests/platform_controls/controls_fixture.h"

namespace controls_test {
namespace {

using pf::kMenuByCommand;
using pf::kMenuByPosition;
using pf::kMenuChecked;
using pf::kMenuUnchecked;

TEST_F(Controls, MenuResourceLoadsWithItsItemsInOrder) {
  const pf::HMenu menu = pf::LoadMenu(nullptr, kTestMenu);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(pf::GetMenuItemCount(menu), 1);
  EXPECT_EQ(pf::GetMenuItemText(menu, 0, kMenuByPosition), u"&Go");
  EXPECT_EQ(pf::GetMenuState(menu, 0, kMenuByPosition), pf::kMenuPopup);
  const pf::HMenu go = pf::GetSubMenu(menu, 0);
  ASSERT_NE(go, nullptr);
  const std::vector<std::uint32_t> ids = {40004, 129, 0, 40006, 122, 0, 108, 130, 40005};
  ASSERT_EQ(pf::GetMenuItemCount(go), static_cast<int>(ids.size()));
  for (std::size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(pf::GetMenuItemId(go, static_cast<int>(i)), ids[i]) << i;
  EXPECT_EQ(pf::GetMenuState(go, 2, kMenuByPosition), pf::kMenuSeparator);
  EXPECT_EQ(pf::GetMenuState(go, 130, kMenuByCommand), pf::kMenuGrayed);
  EXPECT_EQ(pf::GetMenuItemId(menu, 0), pf::kMenuNoId);  // a pop-up item
  EXPECT_EQ(pf::GetMenuItemId(go, 99), pf::kMenuNoId);

  EXPECT_EQ(pf::LoadMenu(nullptr, 999), nullptr);
  EXPECT_EQ(pf::LoadMenu(nullptr, kDeepMenu), nullptr);  // nests too deep
  EXPECT_TRUE(pf::DestroyMenu(menu));
  EXPECT_FALSE(pf::IsMenu(go));  // went with its menu
  EXPECT_FALSE(pf::DestroyMenu(menu));
  EXPECT_EQ(pf::GetMenuItemCount(menu), -1);
}

TEST_F(Controls, CheckMarksSetToggleAndReadByCommandThroughPopups) {
  const pf::HMenu menu = pf::LoadMenu(nullptr, kTestMenu);
  // The bar itself is asked: the item is found in its pop-up.
  EXPECT_EQ(pf::GetMenuState(menu, 122, kMenuByCommand), 0u);
  EXPECT_EQ(pf::CheckMenuItem(menu, 122, kMenuByCommand | kMenuChecked), kMenuUnchecked);
  EXPECT_EQ(pf::GetMenuState(menu, 122, kMenuByCommand), kMenuChecked);
  EXPECT_EQ(pf::CheckMenuItem(menu, 122, kMenuByCommand | kMenuChecked), kMenuChecked);
  EXPECT_EQ(pf::CheckMenuItem(menu, 122, kMenuByCommand | kMenuUnchecked), kMenuChecked);
  EXPECT_EQ(pf::GetMenuState(menu, 122, kMenuByCommand), 0u);
  // By position in the pop-up; other items are untouched.
  const pf::HMenu go = pf::GetSubMenu(menu, 0);
  EXPECT_EQ(pf::CheckMenuItem(go, 0, kMenuByPosition | kMenuChecked), kMenuUnchecked);
  EXPECT_EQ(pf::GetMenuState(menu, 40004, kMenuByCommand), kMenuChecked);
  EXPECT_EQ(pf::GetMenuState(menu, 129, kMenuByCommand), 0u);
  // Missing items.
  EXPECT_EQ(pf::CheckMenuItem(menu, 7777, kMenuChecked), pf::kMenuNotFound);
  EXPECT_EQ(pf::GetMenuState(menu, 7777, kMenuByCommand), pf::kMenuNotFound);
  EXPECT_EQ(pf::GetMenuState(go, 9, kMenuByPosition), pf::kMenuNotFound);
  EXPECT_EQ(pf::CheckMenuItem(nullptr, 122, kMenuChecked), pf::kMenuNotFound);
  // Enabling.
  EXPECT_EQ(pf::EnableMenuItem(menu, 130, pf::kMenuEnabled), pf::kMenuGrayed);
  EXPECT_EQ(pf::GetMenuState(menu, 130, kMenuByCommand), 0u);
  EXPECT_EQ(pf::EnableMenuItem(menu, 40005, pf::kMenuGrayed | pf::kMenuDisabled), 0u);
  EXPECT_EQ(pf::GetMenuState(menu, 40005, kMenuByCommand), pf::kMenuGrayed | pf::kMenuDisabled);
  pf::DestroyMenu(menu);
}

TEST_F(Controls, MenusBuiltInCodeOwnTheirPopups) {
  const pf::HMenu bar = pf::CreateMenu();
  const pf::HMenu popup = pf::CreatePopupMenu();
  ASSERT_TRUE(pf::AppendMenu(popup, pf::kMenuString, 10, u"&Ten"));
  ASSERT_TRUE(pf::AppendMenu(popup, pf::kMenuString | pf::kMenuChecked, 30, u"Thirty"));
  ASSERT_TRUE(pf::InsertMenu(popup, 30, kMenuByCommand, 20, u"Twenty"));  // before 30
  ASSERT_TRUE(pf::InsertMenu(popup, 0, kMenuByPosition | pf::kMenuSeparator, 0, u"ignored"));
  ASSERT_TRUE(pf::AppendMenu(bar, pf::kMenuPopup, reinterpret_cast<std::uintptr_t>(popup), u"&File"));
  EXPECT_EQ(pf::GetMenuItemId(popup, 0), 0u);
  EXPECT_EQ(pf::GetMenuItemId(popup, 1), 10u);
  EXPECT_EQ(pf::GetMenuItemId(popup, 2), 20u);
  EXPECT_EQ(pf::GetMenuItemId(popup, 3), 30u);
  EXPECT_EQ(pf::GetMenuState(bar, 30, kMenuByCommand), kMenuChecked);
  EXPECT_EQ(pf::GetMenuItemText(bar, 20, kMenuByCommand), u"Twenty");
  // A pop-up can hang from one menu only, and never from itself or below.
  EXPECT_FALSE(pf::AppendMenu(bar, pf::kMenuPopup, reinterpret_cast<std::uintptr_t>(popup), u"again"));
  EXPECT_FALSE(pf::AppendMenu(popup, pf::kMenuPopup, reinterpret_cast<std::uintptr_t>(bar), u"loop"));
  EXPECT_FALSE(pf::AppendMenu(popup, pf::kMenuPopup, reinterpret_cast<std::uintptr_t>(popup), u"self"));
  EXPECT_FALSE(pf::AppendMenu(bar, pf::kMenuPopup, 12345, u"not a menu"));
  // Deleting the pop-up item destroys the pop-up.
  EXPECT_TRUE(pf::DeleteMenu(bar, 0, kMenuByPosition));
  EXPECT_FALSE(pf::IsMenu(popup));
  EXPECT_EQ(pf::GetMenuItemCount(bar), 0);
  // A pop-up destroyed on its own leaves its menu.
  const pf::HMenu other = pf::CreatePopupMenu();
  pf::AppendMenu(bar, pf::kMenuPopup, reinterpret_cast<std::uintptr_t>(other), u"Other");
  EXPECT_TRUE(pf::DestroyMenu(other));
  EXPECT_EQ(pf::GetMenuItemCount(bar), 0);
  pf::DestroyMenu(bar);
}

TEST_F(Controls, ItemTextSplitsIntoLabelMnemonicAndShortcut) {
  struct Case {
    std::u16string text;
    std::u16string label;
    std::u16string shortcut;
    int mnemonic;
  };
  const std::vector<Case> cases = {
      {u"&About", u"About", u"", 0},
      {u"Check For &Updates", u"Check For Updates", u"", 10},
      {u"F&ont\x08" u"Ctrl+F", u"Font", u"Ctrl+F", 1},
      {u"Search A&gain\x08" u"F3", u"Search Again", u"F3", 8},
      {u"Fish && &Chips", u"Fish & Chips", u"", 7},
      {u"Plain", u"Plain", u"", -1},
      {u"Trailing&", u"Trailing", u"", -1},
      {u"\x08" u"Alt+F3", u"", u"Alt+F3", -1},
      {u"", u"", u"", -1},
  };
  for (const Case& c : cases) {
    const pf::MenuTextParts parts = pf::SplitMenuText(c.text);
    EXPECT_EQ(parts.label, c.label);
    EXPECT_EQ(parts.shortcut, c.shortcut);
    EXPECT_EQ(parts.mnemonic, c.mnemonic);
  }
}

// Tracking: the menu of the test resources dropped at (10, 40).
class Tracking : public Controls {
 protected:
  void SetUp() override {
    Controls::SetUp();
    owner = MakeWindow();
    menu = pf::LoadMenu(nullptr, kTestMenu);
    go = pf::GetSubMenu(menu, 0);
  }
  void TearDown() override {
    pf::DestroyMenu(menu);
    Controls::TearDown();
  }
  // The screen rectangle of item `index` of the tracked menu.
  static pf::Point ItemCentre(int index) {
    // Rows: items 18 high (cell 16 + 2 x 1), separators 7, below a 1-pixel
    // border.
    static const int kHeights[] = {18, 18, 7, 18, 18, 7, 18, 18, 18};
    int y = 40 + 1;
    for (int i = 0; i < index; ++i) y += kHeights[i];
    return pf::Point{30, y + kHeights[index] / 2};
  }
  std::vector<std::uint32_t> Commands() {
    Pump();
    std::vector<std::uint32_t> out;
    for (const Seen& s : Received(pf::kMsgCommand, owner)) {
      EXPECT_EQ(s.lParam, 0);
      out.push_back(static_cast<std::uint32_t>(s.wParam));
    }
    return out;
  }
  pf::HWin owner = nullptr;
  pf::HMenu menu = nullptr;
  pf::HMenu go = nullptr;
};

TEST_F(Tracking, TapOnAnItemPostsItsCommand) {
  Script({[] {
            ASSERT_NE(pf::GetTrackedMenuWindow(), nullptr);
            const pf::Point p = ItemCentre(6);  // "&Today"
            Tap(p.x, p.y);
          }});
  EXPECT_EQ(pf::TrackPopupMenu(go, pf::kTrackLeftAlign, 10, 40, owner), 1);
  EXPECT_EQ(pf::GetTrackedMenuWindow(), nullptr);
  EXPECT_EQ(Commands(), (std::vector<std::uint32_t>{108}));
  // The owner was told before the menu showed.
  const auto init = Received(pf::kMsgInitMenuPopup, owner);
  ASSERT_EQ(init.size(), 1u);
  EXPECT_EQ(init[0].wParam, reinterpret_cast<pf::WParam>(go));
  EXPECT_EQ(pf::GetActiveWindow(), owner);  // the activation came back
}

TEST_F(Tracking, DragFromOutsideChoosesWhereTheStylusIsLifted) {
  // As when the press on a bar's menu button dropped the menu: the stylus
  // is still down outside, moves over the items and is lifted on one.
  const pf::Point a = ItemCentre(0);
  const pf::Point b = ItemCentre(4);
  Script({[a] {
            pf::InjectStylusMove(a.x, 20);  // still outside
            pf::InjectStylusMove(a.x, a.y);
          },
          [b] { pf::InjectStylusMove(b.x, b.y); }, [b] { pf::InjectStylusUp(b.x, b.y); }});
  pf::InjectStylusDown(100, 300);  // the press that dropped it, taken by the owner
  Pump();
  EXPECT_EQ(pf::TrackPopupMenu(go, 0, 10, 40, owner), 1);
  EXPECT_EQ(Commands(), (std::vector<std::uint32_t>{122}));
}

TEST_F(Tracking, LiftOfThePressThatDroppedTheMenuChoosesNothing) {
  // The menu was dropped by a press that lies over its first item (a menu
  // moved up to fit the screen): lifting there without a drag keeps it open.
  const pf::Point first = ItemCentre(0);
  Script({[first] { pf::InjectStylusUp(first.x, first.y); },
          [] {
            EXPECT_NE(pf::GetTrackedMenuWindow(), nullptr);
            pf::InjectKeyDown(pf::kVkEscape);
          }});
  pf::InjectStylusDown(first.x, first.y);  // taken by the owner below
  Pump();
  EXPECT_EQ(pf::TrackPopupMenu(go, 0, 10, 40, owner), 1);
  EXPECT_TRUE(Commands().empty());
}

TEST_F(Tracking, NothingChosenByTapsOnSeparatorsGrayedItemsOrByLiftingOutside) {
  const pf::Point separator = ItemCentre(2);
  const pf::Point grayed = ItemCentre(7);
  Script({[separator] { Tap(separator.x, separator.y); },
          [grayed] { Tap(grayed.x, grayed.y); },
          [] {
            EXPECT_NE(pf::GetTrackedMenuWindow(), nullptr);  // still open
            pf::InjectKeyDown(pf::kVkEscape);
          }});
  EXPECT_EQ(pf::TrackPopupMenu(go, 0, 10, 40, owner), 1);
  EXPECT_TRUE(Commands().empty());
}

TEST_F(Tracking, PressOutsideDismissesAndIsConsumed) {
  Script({[] { Tap(200, 300); }});
  EXPECT_EQ(pf::TrackPopupMenu(go, pf::kTrackReturnCommand, 10, 40, owner), 0);
  EXPECT_TRUE(Commands().empty());
  Pump();
  EXPECT_TRUE(Received(pf::kMsgLButtonDown, owner).empty());
}

TEST_F(Tracking, KeysMoveChooseAndDismiss) {
  struct Case {
    const char* name;
    std::vector<std::uint32_t> keys;
    std::intptr_t expected;
  };
  const std::vector<Case> cases = {
      {"down twice", {pf::kVkDown, pf::kVkDown, pf::kVkReturn}, 129},
      {"down over a separator", {pf::kVkDown, pf::kVkDown, pf::kVkDown, pf::kVkReturn}, 40006},
      {"up wraps to the last, skipping the grayed", {pf::kVkUp, pf::kVkUp, pf::kVkReturn}, 108},
      {"down wraps to the first", {pf::kVkUp, pf::kVkDown, pf::kVkReturn}, 40004},
      {"return with nothing highlighted", {pf::kVkReturn, pf::kVkEscape}, 0},
      {"escape", {pf::kVkDown, pf::kVkEscape}, 0},
      {"mnemonic letter", {pf::kVkA + (u'X' - u'A')}, 40005},
      {"grayed item's mnemonic does nothing", {pf::kVkA + (u'D' - u'A'), pf::kVkEscape}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::function<void()>> steps;
    for (std::uint32_t key : c.keys) {
      steps.push_back([key] {
        pf::InjectKeyDown(key);
        pf::InjectKeyUp(key);
      });
    }
    Script(std::move(steps));
    EXPECT_EQ(pf::TrackPopupMenu(go, pf::kTrackReturnCommand, 10, 40, owner), c.expected);
    EXPECT_TRUE(Commands().empty());  // returned, not posted
    EXPECT_TRUE(Received(pf::kMsgKeyDown, owner).empty());  // the menu took the keys
  }
}

TEST_F(Tracking, OwnerDestroyedWhileTrackingEndsItQuietly) {
  Script({[this] { pf::DestroyWindow(owner); }});
  EXPECT_EQ(pf::TrackPopupMenu(go, 0, 10, 40, owner), 1);
  EXPECT_EQ(pf::GetTrackedMenuWindow(), nullptr);
  EXPECT_TRUE(Commands().empty());
  EXPECT_TRUE(pf::IsMenu(go));  // the menu is the caller's
}

TEST_F(Tracking, MenuIsPlacedOnTheScreenAndBadCallsFail) {
  // Bottom-right aligned at the screen's corner: the menu ends there.
  Script({[] {
    pf::Rect r;
    ASSERT_TRUE(pf::GetWindowRect(pf::GetTrackedMenuWindow(), &r));
    EXPECT_EQ(r.right, 240);
    EXPECT_EQ(r.bottom, 320);
    pf::InjectKeyDown(pf::kVkEscape);
  }});
  pf::TrackPopupMenu(go, pf::kTrackRightAlign | pf::kTrackBottomAlign, 240, 320, owner);
  // Far off the screen: moved back onto it.
  Script({[] {
    pf::Rect r;
    ASSERT_TRUE(pf::GetWindowRect(pf::GetTrackedMenuWindow(), &r));
    EXPECT_EQ(r.right, 240);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.bottom, 320);
    pf::InjectKeyDown(pf::kVkEscape);
  }});
  pf::TrackPopupMenu(go, 0, 5000, 5000, owner);

  EXPECT_EQ(pf::TrackPopupMenu(nullptr, 0, 0, 0, owner), 0);
  EXPECT_EQ(pf::TrackPopupMenu(go, 0, 0, 0, nullptr), 0);
  const pf::HMenu empty = pf::CreatePopupMenu();
  EXPECT_EQ(pf::TrackPopupMenu(empty, 0, 0, 0, owner), 0);
  pf::DestroyMenu(empty);
}

TEST_F(Tracking, PictureShowsLabelsShortcutsCheckMarkAndHighlight) {
  pf::CheckMenuItem(go, 122, kMenuChecked);
  std::vector<std::string> top;
  std::vector<std::string> reverse;
  pf::Rect frame;
  Script({[] { pf::InjectKeyDown(pf::kVkDown); },
          [&] {
            ASSERT_TRUE(pf::GetWindowRect(pf::GetTrackedMenuWindow(), &frame));
            top = Picture(pf::Rect{frame.left, frame.top, frame.left + 60, frame.top + 20});
            const pf::Point r = ItemCentre(4);
            reverse = Picture(pf::Rect{frame.left, r.y - 10, frame.left + 40, r.y + 10});
            SaveScreen("menu");
            pf::InjectKeyDown(pf::kVkEscape);
          }});
  pf::TrackPopupMenu(go, 0, 10, 40, owner);
  // Width: check column 14, widest label "Check Updates" (12 letters of 8
  // and a space of 4: 100), gap 12, widest shortcut "Ctrl+Home" (7 of 8,
  // 'l' 4, 'm' 12: 72), right padding 4, border 2.
  EXPECT_EQ(frame.Width(), 14 + 100 + 12 + 72 + 4 + 2);
  EXPECT_EQ(frame.Height(), 2 + 7 * 18 + 2 * 7);
  // The first item highlighted (dark blue, white letters from column 17,
  // after the border and the check column; the 'A' underlined two rows below
  // the letters); the second item starts white at row 19.
  EXPECT_EQ(top, (std::vector<std::string>{
                     "############################################################",
                     "#ooooooooooooooooooooooooooooooooooooooooooooooooooooooooooo",
                     "#ooooooooooooooooooooooooooooooooooooooooooooooooooooooooooo",
                     "#oooooooooooooo.......o.......o.......o.......o.......oooooo",
                     "#oooooooooooooo.......o.......o.......o.......o.......oooooo",
                     "#oooooooooooooo.......o.......o.......o.......o.......oooooo",
                     "#oooooooooooooo.......o.......o.......o.......o.......oooooo",
                     "#oooooooooooooo.......o.......o.......o.......o.......oooooo",
                     "#oooooooooooooo.......o.......o.......o.......o.......oooooo",
                     "#oooooooooooooo.......o.......o.......o.......o.......oooooo",
                     "#oooooooooooooo.......o.......o.......o.......o.......oooooo",
                     "#oooooooooooooo.......o.......o.......o.......o.......oooooo",
                     "#oooooooooooooo.......o.......o.......o.......o.......oooooo",
                     "#oooooooooooooo.......o.......o.......o.......o.......oooooo",
                     "#ooooooooooooooooooooooooooooooooooooooooooooooooooooooooooo",
                     "#oooooooooooooo........ooooooooooooooooooooooooooooooooooooo",
                     "#ooooooooooooooooooooooooooooooooooooooooooooooooooooooooooo",
                     "#ooooooooooooooooooooooooooooooooooooooooooooooooooooooooooo",
                     "#ooooooooooooooooooooooooooooooooooooooooooooooooooooooooooo",
                     "#...........................................................",
                 }));
  // "Re&verse", checked: the tick in the check column, the 'v' underlined.
  EXPECT_EQ(reverse, (std::vector<std::string>{
                         "#.......................................",
                         "#.......................................",
                         "#.......................................",
                         "#..............#######.#######.#######.#",
                         "#..............#######.#######.#######.#",
                         "#..............#######.#######.#######.#",
                         "#..............#######.#######.#######.#",
                         "#.........#....#######.#######.#######.#",
                         "#........##....#######.#######.#######.#",
                         "#...#...##.....#######.#######.#######.#",
                         "#...##.##......#######.#######.#######.#",
                         "#....###.......#######.#######.#######.#",
                         "#.....#........#######.#######.#######.#",
                         "#..............#######.#######.#######.#",
                         "#.......................................",
                         "#..............................########.",
                         "#.......................................",
                         "#.......................................",
                         "#.......................................",
                         "#.......................................",
                     }));
}

}  // namespace
}  // namespace controls_test
