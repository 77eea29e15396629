#pragma once
// The command bar: a grey strip across the top of a window's client area that
// holds a drop-down menu button, toolbar buttons with pictures from a bitmap
// strip, tooltips and, at the right end, a close button.
//
// The shell menu bar (menubar.h) is the same kind of bar, kept at the bottom
// of the screen: the CommandBarAdd* calls, CommandBarShow and
// CommandBarGetMenu work on either, so code that builds a bar can treat both
// alike.
//
// Input. A tap (press and lift on the same button) on a toolbar button sends
// kMsgCommand (wParam the button's command id, lParam the bar) to the bar's
// owner window: the parent of a command bar, the owner of a shell menu bar. A
// press on a menu button (or a drop-down text button) drops its pop-up down
// at once (TrackPopupMenu in menu.h), whose chosen command goes to the same
// window. The close button posts kMsgClose to that window. While the stylus
// holds a button that has a tooltip, the tooltip is shown next to the bar; it
// goes when the stylus is lifted or leaves the button. Stylus moves over the
// bar without a press (hovering) show the tooltip of the button under them.
//
// Ownership. The bar owns what is given to it or loaded for it: the menu of
// CommandBarInsertMenubar, the bitmaps of CommandBarAddBitmap, copies of the
// tooltip texts. They go with the bar's window (DestroyWindow).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/handles.h"

namespace pf {

// Heights of both bar kinds, and the sizes of their buttons.
constexpr int kCommandBarHeight = 26;
constexpr int kBarImageSide = 16;         // the usual picture: 16 x 16
constexpr int kBarImageButtonWidth = 23;  // a 16-pixel picture with its frame
constexpr int kBarSeparatorWidth = 6;
constexpr int kBarCloseButtonWidth = 22;
constexpr int kBarTextButtonPadding = 6;  // each side of a text button's label

// Button states (BarButton::state), the platform's values.
constexpr std::uint8_t kBarStateChecked = 0x01;
constexpr std::uint8_t kBarStatePressed = 0x02;
constexpr std::uint8_t kBarStateEnabled = 0x04;
constexpr std::uint8_t kBarStateHidden = 0x08;
// Button styles (BarButton::style), the platform's values.
constexpr std::uint8_t kBarStyleButton = 0x00;
constexpr std::uint8_t kBarStyleSeparator = 0x01;
constexpr std::uint8_t kBarStyleCheck = 0x02;      // toggles kBarStateChecked when tapped
constexpr std::uint8_t kBarStyleDropDown = 0x08;   // a text button that drops a pop-up
constexpr std::uint8_t kBarStyleAutoSize = 0x10;   // sized to its text
// BarButton::image of a button without a picture (a text button).
constexpr int kBarImageNone = 0xFFFE;

// CommandBarAddAdornments flags: buttons besides the close button.
constexpr std::uint32_t kBarAdornHelp = 0x0001;  // "?": posts kMsgHelp to the owner
constexpr std::uint32_t kBarAdornOk = 0x0002;    // "ok": posts kMsgCommand kIdOk

struct BarButton {
  int image = 0;         // index into the bar's images (CommandBarAddBitmap); kBarImageNone: none
  int command = 0;       // sent with kMsgCommand
  std::uint8_t state = kBarStateEnabled;
  std::uint8_t style = kBarStyleButton;
};

// Makes a command bar: a visible child of `parent` (id `barId`) at the top of
// its client area, as wide as that area and kCommandBarHeight high. Null for
// a bad parent. The instance is accepted for symmetry.
HWin CommandBarCreate(HInstance instance, HWin parent, int barId);
// The bar's height (0 for a bad handle).
int CommandBarHeight(HWin bar);

// Loads menu resource `menuId` (menu.h, LoadMenu) and puts a menu button for
// each of its pop-ups at button position `button` (0: the start), labelled
// with the pop-up's text without '&' marks. The bar owns the menu from then
// on. False for a bad bar, a missing menu or a bar that has a menu already.
bool CommandBarInsertMenubar(HWin bar, HInstance instance, unsigned menuId, int button);
// The menu a menu button (at button position `button`) drops down: the whole
// menu (menu bar) that was inserted. For a shell menu bar: its menu. Null
// when there is none.
HMenu CommandBarGetMenu(HWin bar, int button);

// Adds `imageCount` pictures of imageWidth x imageHeight pixels, side by side
// in bitmap resource `bitmapId`, to the bar's images. Returns the index of the
// first new picture, or -1 when the bitmap is missing, damaged, or smaller
// than the pictures it should hold (nothing is added then).
int CommandBarAddBitmap(HWin bar, HInstance instance, unsigned bitmapId, int imageCount, int imageWidth,
                        int imageHeight);
// Appends buttons (after any menu buttons). False for a bad bar.
bool CommandBarAddButtons(HWin bar, std::span<const BarButton> buttons);
// Gives the bar its tooltip texts, copied: the n-th text belongs to the n-th
// button of the bar that is not a separator, counting menu buttons (so the
// first text is for the menu) and not the close button. An empty text shows
// no tooltip. A later call replaces the list.
bool CommandBarAddToolTips(HWin bar, std::span<const std::u16string_view> tips);
// Adds the close button at the right end (and the help and ok buttons the
// flags name, to its left). Once per bar.
bool CommandBarAddAdornments(HWin bar, std::uint32_t flags);
// Shows or hides the bar.
bool CommandBarShow(HWin bar, bool show);

// For tests and scripts: the buttons of a bar in order, as laid out.
enum class BarButtonKind { Menu, Text, Image, Separator, Close, Help, Ok, InputPanel };
struct BarButtonInfo {
  BarButtonKind kind = BarButtonKind::Image;
  int command = 0;        // Image / Text buttons
  Rect rect;              // bar client coordinates
  std::u16string label;   // Menu / Text buttons, without '&'
  std::u16string toolTip; // empty when none
};
std::vector<BarButtonInfo> CommandBarButtons(HWin bar);
// The tooltip window shown now (any bar), or null; its text is its title.
HWin GetShownToolTip();

}  // namespace pf
