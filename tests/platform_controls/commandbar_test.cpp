// The command bar and the shell menu bar: layout, commands, the dropped
// menu, tooltips, the close button, the bar record and its requests.
#include <string>
#include <vector>

#include "platform/commandbar.h"
#include "platform/menu.h"
#include "platform/menubar.h"
#include "platform/message.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "tests/platform_controls/controls_fixture.h"

namespace controls_test {
namespace {

using pf::BarButtonKind;

const pf::BarButton kButtons[] = {
    {0, 110, pf::kBarStateEnabled, pf::kBarStyleButton},
    {1, 108, pf::kBarStateEnabled, pf::kBarStyleButton},
    {0, 0, 0, pf::kBarStyleSeparator},
    {2, 109, pf::kBarStateEnabled, pf::kBarStyleButton},
    {2, 111, 0, pf::kBarStyleButton},  // disabled
};
const std::u16string_view kTips[] = {u"", u"Previous Day", u"Today", u"Next Day"};

// The owner is laid out like the program's window: the default area, with a
// scroll bar, so its client area is 227 wide, from screen y 26.
class CommandBar : public Controls {
 protected:
  void SetUp() override {
    Controls::SetUp();
    owner = MakeWindow(pf::kStyleVisible | pf::kStyleVScroll);
    bar = pf::CommandBarCreate(nullptr, owner, 1);
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(pf::CommandBarInsertMenubar(bar, nullptr, kTestMenu, 0));
    ASSERT_EQ(pf::CommandBarAddBitmap(bar, nullptr, kStrip, 3, 16, 16), 0);
    ASSERT_TRUE(pf::CommandBarAddToolTips(bar, kTips));
    ASSERT_TRUE(pf::CommandBarAddButtons(bar, kButtons));
    ASSERT_TRUE(pf::CommandBarAddAdornments(bar, 0));
    ASSERT_TRUE(pf::CommandBarShow(bar, true));
    Pump();
    ClearLog();
  }
  std::vector<Seen> Commands() {
    Pump();
    return Received(pf::kMsgCommand, owner);
  }
  pf::HWin owner = nullptr;
  pf::HWin bar = nullptr;
};

constexpr int kBarY = 26 + 13;  // the middle of the bar on the screen

TEST_F(CommandBar, LaysOutMenuButtonPicturesSeparatorAndCloseButton) {
  EXPECT_EQ(pf::CommandBarHeight(bar), pf::kCommandBarHeight);
  pf::Rect r;
  ASSERT_TRUE(pf::GetWindowRect(bar, &r));
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 26);
  EXPECT_EQ(r.right, 227);
  EXPECT_EQ(pf::GetParent(bar), owner);
  EXPECT_EQ(pf::GetWindowId(bar), 1);

  struct Want {
    BarButtonKind kind;
    int command;
    pf::Rect rect;
    std::u16string label;
    std::u16string tip;
  };
  const std::vector<Want> want = {
      {BarButtonKind::Menu, 0, {2, 2, 30, 24}, u"Go", u""},
      {BarButtonKind::Image, 110, {30, 2, 53, 24}, u"", u"Previous Day"},
      {BarButtonKind::Image, 108, {53, 2, 76, 24}, u"", u"Today"},
      {BarButtonKind::Separator, 0, {76, 2, 82, 24}, u"", u""},
      {BarButtonKind::Image, 109, {82, 2, 105, 24}, u"", u"Next Day"},
      {BarButtonKind::Image, 111, {105, 2, 128, 24}, u"", u""},
      {BarButtonKind::Close, 0, {203, 2, 225, 24}, u"", u""},
  };
  const std::vector<pf::BarButtonInfo> got = pf::CommandBarButtons(bar);
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(got[i].kind, want[i].kind);
    EXPECT_EQ(got[i].command, want[i].command);
    EXPECT_EQ(got[i].rect.left, want[i].rect.left);
    EXPECT_EQ(got[i].rect.top, want[i].rect.top);
    EXPECT_EQ(got[i].rect.right, want[i].rect.right);
    EXPECT_EQ(got[i].rect.bottom, want[i].rect.bottom);
    EXPECT_EQ(got[i].label, want[i].label);
    EXPECT_EQ(got[i].toolTip, want[i].tip);
  }
  // Only once each.
  EXPECT_FALSE(pf::CommandBarInsertMenubar(bar, nullptr, kTestMenu, 0));
  EXPECT_FALSE(pf::CommandBarAddAdornments(bar, 0));
}

TEST_F(CommandBar, TapsOnButtonsSendTheirCommands) {
  struct Case {
    const char* name;
    int downX;
    int upX;
    int command;  // 0: none
  };
  const std::vector<Case> cases = {
      {"first picture", 41, 41, 110},    {"second picture", 64, 64, 108},
      {"third picture", 93, 93, 109},    {"lifted on another button", 41, 64, 0},
      {"separator", 79, 79, 0},          {"disabled", 116, 116, 0},
      {"empty part of the bar", 160, 160, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClearLog();
    pf::InjectStylusDown(c.downX, kBarY);
    pf::InjectStylusUp(c.upX, kBarY);
    const std::vector<Seen> commands = Commands();
    if (c.command == 0) {
      EXPECT_TRUE(commands.empty());
    } else {
      ASSERT_EQ(commands.size(), 1u);
      EXPECT_EQ(commands[0].wParam, static_cast<pf::WParam>(c.command));
      EXPECT_EQ(commands[0].lParam, reinterpret_cast<pf::LParam>(bar));
    }
  }
}

TEST_F(CommandBar, MenuButtonDropsTheMenuBelowTheBar) {
  const pf::HMenu menu = pf::CommandBarGetMenu(bar, 0);
  ASSERT_NE(menu, nullptr);
  pf::Rect frame;
  pf::Pixel pressedShadow = 0;
  Script({[] { pf::InjectStylusUp(16, kBarY); },  // lifted on the button: the menu stays
          [&] {
            ASSERT_NE(pf::GetTrackedMenuWindow(), nullptr);
            ASSERT_TRUE(pf::GetWindowRect(pf::GetTrackedMenuWindow(), &frame));
            SaveScreen("commandbar_menu");
            pressedShadow = Screen().At(7, 26 + 2);
            // "Re&verse": rows of 18, 18, 7 and 18 above it.
            Tap(20, frame.top + 1 + 61 + 9);
          }});
  pf::InjectStylusDown(16, kBarY);
  Pump();
  EXPECT_EQ(frame.left, 2);
  EXPECT_EQ(frame.top, 26 + 26);
  const std::vector<Seen> commands = Commands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].wParam, 122u);
  // The check marks live in the menu the bar gives.
  EXPECT_EQ(pf::CheckMenuItem(menu, 123 - 1, pf::kMenuChecked), pf::kMenuUnchecked);
  EXPECT_EQ(pf::GetMenuState(menu, 122, pf::kMenuByCommand), pf::kMenuChecked);
  // The button is drawn pressed in while its menu is open (a shadow line at
  // its top), and raised again afterwards.
  EXPECT_EQ(pressedShadow, 0x808080u);
  EXPECT_EQ(Screen().At(7, 26 + 2), 0xC0C0C0u);
}

TEST_F(CommandBar, OwnerDestroyedWhileItsMenuIsOpen) {
  const pf::HMenu menu = pf::CommandBarGetMenu(bar, 0);
  Script({[this] { pf::DestroyWindow(owner); }});
  pf::InjectStylusDown(16, kBarY);
  Pump();
  EXPECT_FALSE(pf::IsWindow(bar));
  EXPECT_FALSE(pf::IsMenu(menu));
  EXPECT_EQ(pf::GetTrackedMenuWindow(), nullptr);
  pf::InjectStylusUp(16, kBarY);
  Pump();
}

TEST_F(CommandBar, ToolTipShowsWhileAButtonIsHeldOrHovered) {
  pf::InjectStylusDown(41, kBarY);
  Pump();
  pf::HWin tip = pf::GetShownToolTip();
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(pf::GetWindowText(tip), u"Previous Day");
  pf::Rect r;
  ASSERT_TRUE(pf::GetWindowRect(tip, &r));
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.top, 26 + 26 + 2);  // below the bar
  // "Previous Day": ten letters of 8, 'i' and the space 4 each; padding 8.
  EXPECT_EQ(r.Width(), 10 * 8 + 2 * 4 + 8);
  EXPECT_NE(pf::GetActiveWindow(), tip);
  // Off the button: gone; back on: shown again; lifted: gone, command sent.
  pf::InjectStylusMove(150, kBarY);
  Pump();
  EXPECT_EQ(pf::GetShownToolTip(), nullptr);
  pf::InjectStylusMove(45, kBarY);
  Pump();
  EXPECT_NE(pf::GetShownToolTip(), nullptr);
  const pf::Surface& screen = Screen();
  EXPECT_EQ(screen.At(r.left + 1, r.top + 1), 0xFFFFE1u);  // the tooltip's colour over the owner
  pf::InjectStylusUp(45, kBarY);
  EXPECT_EQ(Commands().size(), 1u);
  EXPECT_EQ(pf::GetShownToolTip(), nullptr);

  // Hovering: the tooltip of the button under the pointer; none over a
  // button without one or the empty bar.
  struct Hover {
    int x;
    std::u16string tip;
  };
  for (const Hover& h : std::vector<Hover>{{64, u"Today"}, {93, u"Next Day"}, {116, u""}, {93, u"Next Day"},
                                           {160, u""}}) {
    pf::InjectStylusMove(h.x, kBarY);
    Pump();
    const pf::HWin shown = pf::GetShownToolTip();
    EXPECT_EQ(shown != nullptr ? pf::GetWindowText(shown) : u"", h.tip) << h.x;
  }
  EXPECT_TRUE(Commands().empty() || Commands().size() == 1u);
}

TEST_F(CommandBar, CloseButtonClosesTheOwner) {
  Tap(214, kBarY);
  Pump();
  EXPECT_EQ(Received(pf::kMsgClose, owner).size(), 1u);
  EXPECT_FALSE(pf::IsWindow(owner));  // the default handling destroys it
  EXPECT_FALSE(pf::IsWindow(bar));
}

TEST_F(CommandBar, PictureShowsMenuLabelImagesAndCloseCross) {
  const std::vector<std::string> go = Picture(pf::Rect{2, 26, 30, 52});
  // "Go" in the test font: two boxes 7 wide, 11 high, centred in the button.
  // Rows 6 to 16: the button is 22 high from row 2, the 16-pixel cell
  // centred in it starts at row 5, and a letter box leaves the cell's first row.
  const std::vector<std::string> expected = {
      "oooooooooooooooooooooooooooo", "oooooooooooooooooooooooooooo", "oooooooooooooooooooooooooooo",
      "oooooooooooooooooooooooooooo", "oooooooooooooooooooooooooooo", "oooooooooooooooooooooooooooo",
      "oooooo#######o#######ooooooo", "oooooo#######o#######ooooooo", "oooooo#######o#######ooooooo",
      "oooooo#######o#######ooooooo", "oooooo#######o#######ooooooo", "oooooo#######o#######ooooooo",
      "oooooo#######o#######ooooooo", "oooooo#######o#######ooooooo", "oooooo#######o#######ooooooo",
      "oooooo#######o#######ooooooo", "oooooo#######o#######ooooooo", "oooooooooooooooooooooooooooo",
      "oooooooooooooooooooooooooooo", "oooooooooooooooooooooooooooo", "oooooooooooooooooooooooooooo",
      "oooooooooooooooooooooooooooo", "oooooooooooooooooooooooooooo", "oooooooooooooooooooooooooooo",
      "oooooooooooooooooooooooooooo", "oooooooooooooooooooooooooooo",
  };
  EXPECT_EQ(go, expected);
  const pf::Surface& screen = Screen();
  // The pictures, centred in their buttons: red, green, (separator), blue.
  EXPECT_EQ(screen.At(41, kBarY), 0xFF0000u);
  EXPECT_EQ(screen.At(64, kBarY), 0x00FF00u);
  EXPECT_EQ(screen.At(93, kBarY), 0x0000FFu);
  EXPECT_EQ(screen.At(33, 26 + 4), 0xC0C0C0u);  // the grey face around them
  // The close button's cross: dark pixels on its diagonal.
  EXPECT_EQ(screen.At(203 + 6, 26 + 7), 0x000000u);
  EXPECT_EQ(screen.At(214, 26 + 2 + 11), 0x000000u);
  SaveScreen("commandbar");
}

TEST_F(Controls, CommandBarRefusesBadInput) {
  EXPECT_EQ(pf::CommandBarCreate(nullptr, nullptr, 1), nullptr);
  const pf::HWin owner = MakeWindow();
  const pf::HWin bar = pf::CommandBarCreate(nullptr, owner, 1);
  EXPECT_FALSE(pf::CommandBarInsertMenubar(bar, nullptr, 999, 0));
  EXPECT_EQ(pf::CommandBarAddBitmap(bar, nullptr, 999, 3, 16, 16), -1);
  EXPECT_EQ(pf::CommandBarAddBitmap(bar, nullptr, kStrip, 4, 16, 16), -1);  // holds 3
  EXPECT_EQ(pf::CommandBarAddBitmap(bar, nullptr, kStrip, 1, 16, 17), -1);
  EXPECT_EQ(pf::CommandBarAddBitmap(bar, nullptr, kStrip, 0, 16, 16), -1);
  EXPECT_EQ(pf::CommandBarAddBitmap(bar, nullptr, kStrip, 2, 16, 16), 0);
  EXPECT_EQ(pf::CommandBarAddBitmap(bar, nullptr, kStrip, 3, 16, 16), 2);  // after the first two
  EXPECT_EQ(pf::CommandBarGetMenu(bar, 0), nullptr);
  // Not a bar.
  EXPECT_EQ(pf::CommandBarHeight(owner), 0);
  EXPECT_FALSE(pf::CommandBarAddButtons(owner, kButtons));
  EXPECT_FALSE(pf::CommandBarShow(owner, true));
  EXPECT_TRUE(pf::CommandBarButtons(owner).empty());
  // The menu goes with the bar.
  ASSERT_TRUE(pf::CommandBarInsertMenubar(bar, nullptr, kTestMenu, 0));
  const pf::HMenu menu = pf::CommandBarGetMenu(bar, 0);
  pf::DestroyWindow(owner);
  EXPECT_FALSE(pf::IsMenu(menu));
}

// ---------------------------------------------------------------------------
// The shell menu bar

class ShellBar : public Controls {
 protected:
  void SetUp() override {
    Controls::SetUp();
    owner = MakeWindow(pf::kStyleVisible | pf::kStyleVScroll);
    pf::ShellMenuBarInfo info;
    info.owner = owner;
    info.flags = pf::kMenuBarNoInputButton;
    info.recordId = kBarRecord;
    bar = pf::CreateShellMenuBar(info);
    ASSERT_NE(bar, nullptr);
    Pump();
    ClearLog();
  }
  pf::HWin owner = nullptr;
  pf::HWin bar = nullptr;
};

TEST_F(ShellBar, LiesAtTheBottomAndAnswersTheSubMenuRequest) {
  pf::Rect r;
  ASSERT_TRUE(pf::GetWindowRect(bar, &r));
  EXPECT_EQ(r.top, 320 - 26);
  EXPECT_EQ(r.bottom, 320);
  EXPECT_EQ(r.Width(), 240);
  EXPECT_EQ(pf::DefaultWindowArea().bottom, 320 - 26);
  EXPECT_EQ(pf::GetParent(bar), owner);  // owned
  EXPECT_EQ(pf::GetActiveWindow(), owner);  // showing it took nothing away

  const auto sub = reinterpret_cast<pf::HMenu>(pf::SendMessage(bar, pf::kMsgMenuBarGetSubMenu, 0, 40001));
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(pf::GetMenuItemText(sub, 0, pf::kMenuByPosition), u"&About");
  EXPECT_EQ(pf::CheckMenuItem(sub, 123, pf::kMenuChecked), pf::kMenuNotFound);
  EXPECT_EQ(pf::CheckMenuItem(sub, 122, pf::kMenuChecked), pf::kMenuUnchecked);
  EXPECT_EQ(pf::SendMessage(bar, pf::kMsgMenuBarGetSubMenu, 0, 40002), 0);
  const auto whole = reinterpret_cast<pf::HMenu>(pf::SendMessage(bar, pf::kMsgMenuBarGetMenu, 0, 0));
  EXPECT_EQ(pf::GetSubMenu(whole, 0), sub);
  EXPECT_EQ(pf::CommandBarGetMenu(bar, 0), whole);

  const std::vector<pf::BarButtonInfo> buttons = pf::CommandBarButtons(bar);
  ASSERT_EQ(buttons.size(), 1u);
  EXPECT_EQ(buttons[0].kind, BarButtonKind::Text);
  EXPECT_EQ(buttons[0].label, u"Go");
  EXPECT_EQ(buttons[0].command, 40001);

  pf::DestroyWindow(bar);
  EXPECT_EQ(pf::DefaultWindowArea().bottom, 320);
  EXPECT_FALSE(pf::IsMenu(sub));
}

TEST_F(ShellBar, GoButtonDropsThePopUpAboveTheBar) {
  pf::Rect frame;
  Script({[] { pf::InjectStylusUp(16, 307); },
          [&] {
            ASSERT_TRUE(pf::GetWindowRect(pf::GetTrackedMenuWindow(), &frame));
            SaveScreen("shellbar_menu");
            Tap(20, frame.bottom - 2 - 10);  // the last item, "E&xit"
          }});
  pf::InjectStylusDown(16, 307);
  Pump();
  EXPECT_EQ(frame.bottom, 320 - 26);
  EXPECT_EQ(frame.left, 2);
  const std::vector<Seen> commands = Received(pf::kMsgCommand, owner);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].wParam, 40005u);
  EXPECT_EQ(pf::GetActiveWindow(), owner);  // the bar gave the activation back
}

TEST_F(ShellBar, TakesToolbarButtonsAndTooltipsLikeTheCommandBar) {
  ASSERT_EQ(pf::CommandBarAddBitmap(bar, nullptr, kStrip, 3, 16, 16), 0);
  ASSERT_TRUE(pf::CommandBarAddToolTips(bar, kTips));
  ASSERT_TRUE(pf::CommandBarAddButtons(bar, kButtons));
  ASSERT_TRUE(pf::CommandBarShow(bar, true));
  // The program narrows it to leave the scroll bar's column free.
  ASSERT_TRUE(pf::MoveWindow(bar, 0, 320 - 26, 240 - 13, 26, true));
  const std::vector<pf::BarButtonInfo> buttons = pf::CommandBarButtons(bar);
  ASSERT_EQ(buttons.size(), 6u);
  EXPECT_EQ(buttons[1].command, 110);
  EXPECT_EQ(buttons[1].toolTip, u"Previous Day");  // the first text is the Go button's
  const int x = (buttons[1].rect.left + buttons[1].rect.right) / 2;
  pf::InjectStylusDown(x, 307);
  Pump();
  const pf::HWin tip = pf::GetShownToolTip();
  ASSERT_NE(tip, nullptr);
  pf::Rect r;
  ASSERT_TRUE(pf::GetWindowRect(tip, &r));
  EXPECT_EQ(r.bottom, 320 - 26 - 2);  // above the bar
  pf::InjectStylusUp(x, 307);
  Pump();
  const std::vector<Seen> commands = Received(pf::kMsgCommand, owner);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].wParam, 110u);
  EXPECT_EQ(pf::GetActiveWindow(), owner);
  EXPECT_EQ(Screen().At(x, 307), 0xFF0000u);
  SaveScreen("shellbar");
}

TEST_F(Controls, ShellBarFromDamagedRecordsIsRefused) {
  const pf::HWin owner = MakeWindow();
  const std::size_t windows = pf::GetTopLevelWindows().size();
  struct Case {
    const char* name;
    unsigned record;
  };
  const std::vector<Case> cases = {
      {"missing record", 999},        {"one byte short", kShortRecord},
      {"one word too many", kLongRecord}, {"unknown menu", kNoMenuRecord},
      {"missing string", kNoStringRecord}, {"pop-up index out of range", kBadPopupRecord},
      {"no buttons", kZeroRecord},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pf::ShellMenuBarInfo info;
    info.owner = owner;
    info.recordId = c.record;
    EXPECT_EQ(pf::CreateShellMenuBar(info), nullptr);
    EXPECT_EQ(pf::GetTopLevelWindows().size(), windows);
    EXPECT_EQ(pf::DefaultWindowArea().bottom, 320);
  }
  pf::ShellMenuBarInfo noOwner;
  noOwner.recordId = kBarRecord;
  EXPECT_EQ(pf::CreateShellMenuBar(noOwner), nullptr);
  // Without kMenuBarNoInputButton the bar ends with the input-panel button.
  pf::ShellMenuBarInfo info;
  info.owner = owner;
  info.recordId = kBarRecord;
  const pf::HWin bar = pf::CreateShellMenuBar(info);
  ASSERT_NE(bar, nullptr);
  const std::vector<pf::BarButtonInfo> buttons = pf::CommandBarButtons(bar);
  ASSERT_EQ(buttons.size(), 2u);
  EXPECT_EQ(buttons[1].kind, BarButtonKind::InputPanel);
  EXPECT_EQ(buttons[1].rect.right, 240 - 2);
  // The bar goes with its owner.
  pf::DestroyWindow(owner);
  EXPECT_FALSE(pf::IsWindow(bar));
  EXPECT_EQ(pf::DefaultWindowArea().bottom, 320);
}

}  // namespace
}  // namespace controls_test
