#pragma once
// Menus: menu bars and pop-up menus made in code or loaded from the menu
// templates of the resources (resource.h), their items with check marks,
// disabled states, '&' mnemonics and right-aligned shortcut labels, and the
// modal tracking of a pop-up menu on the screen.
//
// Ownership. A menu belongs to whoever made it until DestroyMenu; destroying
// a menu destroys the pop-ups hanging from it. A pop-up appended to a menu
// with kMenuPopup belongs to that menu from then on. Handles are tokens that
// are never reused: a handle of a destroyed menu makes every call fail
// harmlessly (false, null, kMenuNotFound).
//
// Items are addressed by command id (kMenuByCommand, the default: the first
// item with that id, searched depth first through the pop-ups too, down to
// kMaxMenuDepth levels) or by position (kMenuByPosition, in this menu only).
//
// Item text. A unit 0x08 (kMenuShortcutMark) splits an item's text into the
// label and the shortcut label drawn at the right edge of the pop-up. In the
// label '&' marks the next character as the mnemonic (drawn underlined; typing
// it while the pop-up is open chooses the item) and "&&" stands for a plain
// '&'.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/handles.h"

namespace pf {

// Item flags (AppendMenu, InsertMenu, MenuTemplateItem::flags) and states
// (GetMenuState). The values are the platform's.
constexpr std::uint32_t kMenuString = 0x0000;
constexpr std::uint32_t kMenuEnabled = 0x0000;
constexpr std::uint32_t kMenuUnchecked = 0x0000;
constexpr std::uint32_t kMenuGrayed = 0x0001;    // drawn grey, cannot be chosen
constexpr std::uint32_t kMenuDisabled = 0x0002;  // cannot be chosen
constexpr std::uint32_t kMenuChecked = 0x0008;
constexpr std::uint32_t kMenuPopup = 0x0010;     // the id argument is the pop-up's HMenu
constexpr std::uint32_t kMenuByCommand = 0x0000;
constexpr std::uint32_t kMenuByPosition = 0x0400;
constexpr std::uint32_t kMenuSeparator = 0x0800;

// What GetMenuState / CheckMenuItem / EnableMenuItem give for a missing item.
constexpr std::uint32_t kMenuNotFound = 0xFFFFFFFF;
// GetMenuItemId of a pop-up item or a bad position.
constexpr std::uint32_t kMenuNoId = 0xFFFFFFFF;

// Splits an item's text into label and shortcut.
constexpr char16_t kMenuShortcutMark = 0x0008;

// TrackPopupMenu flags (the platform's values). Horizontal: where `x` lies
// on the menu; vertical: where `y` lies.
constexpr std::uint32_t kTrackLeftAlign = 0x0000;
constexpr std::uint32_t kTrackCenterAlign = 0x0004;
constexpr std::uint32_t kTrackRightAlign = 0x0008;
constexpr std::uint32_t kTrackTopAlign = 0x0000;
constexpr std::uint32_t kTrackVCenterAlign = 0x0010;
constexpr std::uint32_t kTrackBottomAlign = 0x0020;
// Return the chosen command instead of posting it.
constexpr std::uint32_t kTrackReturnCommand = 0x0100;

// A menu bar (the kind a bar holds) and a pop-up menu. Null without memory.
HMenu CreateMenu();
HMenu CreatePopupMenu();
// Destroys the menu and the pop-ups below it. False for a bad handle.
bool DestroyMenu(HMenu menu);
bool IsMenu(HMenu menu);

// Loads menu template `id` of the resources (resource.h) as a new menu bar
// whose items are the template's top level. Null when there is no such
// template, it nests deeper than kMaxMenuDepth, or memory ran out. The
// instance is accepted for symmetry: all resources are the program's.
HMenu LoadMenu(HInstance instance, unsigned id);

// Adds an item at the end (AppendMenu) or before the item `position` names
// (InsertMenu; kMenuByPosition with a position past the end appends).
// `flags`: kMenuString (text, command id `idOrPopup`), kMenuSeparator (text
// and id ignored) or kMenuPopup (`idOrPopup` is an HMenu that becomes owned
// by `menu`; it must not already hang from a menu, nor be `menu` or an
// ancestor of it), each with kMenuChecked, kMenuGrayed, kMenuDisabled as
// wanted. False for a bad handle or pop-up.
bool AppendMenu(HMenu menu, std::uint32_t flags, std::uintptr_t idOrPopup, std::u16string_view text);
bool InsertMenu(HMenu menu, unsigned position, std::uint32_t flags, std::uintptr_t idOrPopup,
                std::u16string_view text);
// Removes an item; a pop-up item's menu is destroyed with it.
bool DeleteMenu(HMenu menu, unsigned position, std::uint32_t flags);

// The number of items (-1 for a bad handle).
int GetMenuItemCount(HMenu menu);
// The command id of the item at `position`, kMenuNoId for a pop-up item or a
// bad position.
std::uint32_t GetMenuItemId(HMenu menu, int position);
// The pop-up at `position`, or null.
HMenu GetSubMenu(HMenu menu, int position);
// The whole text of an item (label, 0x08 and shortcut as given); empty when
// missing.
std::u16string GetMenuItemText(HMenu menu, unsigned item, std::uint32_t flags);

// Sets (kMenuChecked) or clears (kMenuUnchecked) an item's check mark.
// Returns its previous state (kMenuChecked or kMenuUnchecked), or
// kMenuNotFound when there is no such item.
std::uint32_t CheckMenuItem(HMenu menu, unsigned item, std::uint32_t flags);
// Enables (kMenuEnabled) or disables (kMenuGrayed and/or kMenuDisabled) an
// item. Returns its previous kMenuGrayed | kMenuDisabled bits, or
// kMenuNotFound.
std::uint32_t EnableMenuItem(HMenu menu, unsigned item, std::uint32_t flags);
// The item's state: kMenuChecked, kMenuGrayed, kMenuDisabled, kMenuSeparator
// and kMenuPopup bits as they apply; kMenuNotFound when there is no item.
std::uint32_t GetMenuState(HMenu menu, unsigned item, std::uint32_t flags);

// The parts of an item's text.
struct MenuTextParts {
  std::u16string label;       // '&' marks removed, "&&" made '&'
  std::u16string shortcut;    // after the 0x08 unit; empty when none
  int mnemonic = -1;          // index in `label` of the underlined character, -1 none
};
MenuTextParts SplitMenuText(std::u16string_view text);

// Shows `menu` (a pop-up) as a top-level window over everything and runs a
// nested message loop until an item is chosen or the menu is dismissed. (x,
// y) is a screen point placed on the menu as `flags` say; the menu is moved
// to stay on the screen. The owner gets kMsgInitMenuPopup (wParam the menu)
// before it shows.
//
// Stylus: pressing and dragging highlights the item under the stylus;
// lifting it on an enabled item chooses that item, provided the stylus was
// pressed inside the menu or dragged (so the lift of the press that dropped
// the menu, even over an item, chooses nothing). A press outside the menu
// dismisses it (the press is consumed). Every stylus message goes to the
// menu while it is open, whichever window it was meant for. Keys: Up and Down move the
// highlight over the enabled items (wrapping), Return chooses the
// highlighted item, Escape (or Left) dismisses, and typing a mnemonic letter
// chooses its item. Pop-ups inside a pop-up are shown with an arrow but
// cannot be opened: choosing one does nothing.
//
// When an item is chosen, kMsgCommand (wParam the command id, lParam 0) is
// posted to `owner`, and the call returns true; with kTrackReturnCommand
// nothing is posted and the command id is returned instead (0 when dismissed).
// Without kTrackReturnCommand the result is true when the menu was shown.
// False / 0 for a bad menu or owner, or an empty menu. A quit message ends
// the loop (dismissed) and is posted again.
std::intptr_t TrackPopupMenu(HMenu menu, std::uint32_t flags, int x, int y, HWin owner);

// The pop-up window being tracked now, or null (for tests and scripts).
HWin GetTrackedMenuWindow();

}  // namespace pf
