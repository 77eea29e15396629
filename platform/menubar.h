#pragma once
// The shell menu bar: the bar the Pocket PC shell keeps at the bottom of the
// screen for the foreground program, built from a menu-bar record in the
// program's resources. It holds text buttons that drop down pop-ups of a menu
// resource (or send their command), an input-panel button unless asked not
// to, and takes toolbar buttons, pictures and tooltips through the command
// bar calls (commandbar.h).
//
// The menu-bar record is an RCDATA resource of little-endian 16-bit words:
//   word 0        the menu resource whose pop-ups the buttons drop down
//   word 1        n, the number of buttons (1 .. kMaxMenuBarButtons)
//   then n times seven words:
//     image       kBarImageNone (0xFFFE) for a text button; otherwise a
//                 picture index (drawn once pictures are added)
//     command     the button's command id
//     state       kBarState* (commandbar.h)
//     style       kBarStyle*; kBarStyleDropDown drops the pop-up down,
//                 otherwise a tap sends the command
//     string      the string resource holding the button's text
//     reserved    0
//     popup       index of the pop-up in the menu that the button drops down
// A record of any other length, a missing menu, string or pop-up makes the
// creation fail.
//
// The bar is a top-level window, topmost, owned by the program's window,
// across the bottom of the screen, kCommandBarHeight high; while it lives the
// shell's default window area ends above it (SetShellBottomBarHeight). It
// answers kMsgMenuBarGetSubMenu (wParam 0, lParam a button's command id) with
// that button's pop-up (HMenu as the result; 0 when there is none) and
// kMsgMenuBarGetMenu with the whole menu (both in constants.h).

#include <cstdint>

#include "platform/constants.h"
#include "platform/handles.h"

namespace pf {

// ShellMenuBarInfo::flags (the platform's values).
constexpr std::uint32_t kMenuBarEmpty = 0x0001;          // no record: a bar without buttons
constexpr std::uint32_t kMenuBarHidden = 0x0002;         // made hidden
constexpr std::uint32_t kMenuBarNoInputButton = 0x0004;  // no input-panel button

constexpr int kMaxMenuBarButtons = 16;
constexpr int kMenuBarInputButtonWidth = 26;

struct ShellMenuBarInfo {
  HWin owner = nullptr;        // the program's window (required)
  std::uint32_t flags = 0;     // kMenuBar*
  unsigned recordId = 0;       // the menu-bar record (RCDATA)
  HInstance instance = nullptr;
  unsigned bitmapId = 0;       // 0: none; else pictures for the record's image buttons
  int bitmapImages = 0;        // 16 x 16 pictures in that bitmap
};

// Makes the shell menu bar. Null when the owner is bad, or the record (unless
// kMenuBarEmpty), its menu, a string or a pop-up is missing or damaged; no
// window is left behind then.
HWin CreateShellMenuBar(const ShellMenuBarInfo& info);

}  // namespace pf
