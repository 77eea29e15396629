#pragma once
// System information and shell settings: metrics, the platform version, the
// common-controls start-up, and the input-panel calls the program makes.
//
// Metric values (pixels) of this handheld:
//   screen width / height    the screen size (shell.h)
//   vertical scroll bar      13 wide; arrows 13 high; thumb 13
//   horizontal scroll bar    13 high; arrows 13 wide
//   caption                  26 high (the height of the task bar)
//   border                   1;  dialog frame  2;  edge  2
//   menu                     24 high
//   icon 32 x 32, small icon 16 x 16
// Unknown indices give 0.

#include <cstdint>

#include "platform/handles.h"

namespace pf {

int GetSystemMetrics(int index);

struct PlatformVersion {
  int major = 4;
  int minor = 20;
};
// 4.20 unless set (the --os-version option).
PlatformVersion GetPlatformVersion();
void SetPlatformVersion(PlatformVersion version);

// Starts the common controls: nothing to do here; always succeeds.
bool InitCommonControls();

// Whether a window wants the input panel up (recorded; there is no panel).
bool SetInputPanelPreference(HWin window, int preference);
// Shows or hides the input panel (recorded).
bool ShowInputPanel(bool show);
struct InputPanelState {
  bool shown = false;
  HWin preferenceWindow = nullptr;
  int preference = 0;
  int settingChanges = 0;  // calls of HandleSettingChange
};
InputPanelState GetInputPanelState();

// The shell's handler for kMsgSettingChange: adjusts the window to the input
// panel. Without a panel it only counts the call. Returns true.
bool HandleSettingChange(HWin window, WParam wParam, LParam lParam);

// The system's dialog base units: horizontal in the low word (6), vertical in
// the high word (13). A dialog unit is a quarter of the horizontal and an
// eighth of the vertical unit. Fixed, so that dialogs lay out the same
// whatever fonts are installed; the dialog code converts templates with them.
long GetDialogBaseUnits();

}  // namespace pf
