#pragma once
// What the shell menu bar (menubar.cpp) needs of the bar window that it
// shares with the command bar (commandbar.cpp). Internal to the platform.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/handles.h"

namespace pf::bar {

// A button of a shell menu bar's record.
struct RecordButton {
  int image = 0;            // kBarImageNone: a text button
  int command = 0;
  std::uint8_t state = 0;
  std::uint8_t style = 0;
  std::u16string label;     // text buttons, '&' marks removed
  HMenu popup = nullptr;    // drop-down buttons: the pop-up (part of the bar's menu)
};

// Makes the shell menu bar's window: top-level, topmost, owned by `owner`'s
// top-level window, across the bottom of the screen, hidden. It takes `menu`
// (which may be null) into its ownership, also when it fails (null).
HWin CreateShellBarWindow(HWin owner, HMenu menu, std::vector<RecordButton> buttons, bool inputButton);

}  // namespace pf::bar
