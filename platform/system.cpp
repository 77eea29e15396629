// System metrics, the platform version and the shell's input-panel calls.
#include "platform/system.h"

#include "platform/constants.h"
#include "platform/shell.h"

namespace pf {
namespace {

PlatformVersion& Version() {
  static PlatformVersion version;
  return version;
}

InputPanelState& Panel() {
  static InputPanelState panel;
  return panel;
}

}  // namespace

int GetSystemMetrics(int index) {
  switch (index) {
    case kMetricScreenWidth:
      return ScreenWidth();
    case kMetricScreenHeight:
      return ScreenHeight();
    case kMetricVScrollWidth:
    case kMetricHScrollHeight:
    case kMetricVScrollArrowHeight:
    case kMetricHScrollArrowWidth:
    case kMetricVThumbHeight:
    case kMetricHThumbWidth:
      return 13;
    case kMetricCaptionHeight:
      return 26;
    case kMetricBorderWidth:
    case kMetricBorderHeight:
      return 1;
    case kMetricDialogFrameWidth:
    case kMetricDialogFrameHeight:
    case kMetricEdgeWidth:
    case kMetricEdgeHeight:
      return 2;
    case kMetricMenuHeight:
      return 24;
    case kMetricIconWidth:
    case kMetricIconHeight:
      return 32;
    case kMetricSmallIconWidth:
    case kMetricSmallIconHeight:
      return 16;
    default:
      return 0;
  }
}

PlatformVersion GetPlatformVersion() { return Version(); }

void SetPlatformVersion(PlatformVersion version) { Version() = version; }

bool InitCommonControls() { return true; }

bool SetInputPanelPreference(HWin window, int preference) {
  Panel().preferenceWindow = window;
  Panel().preference = preference;
  return true;
}

bool ShowInputPanel(bool show) {
  Panel().shown = show;
  return true;
}

InputPanelState GetInputPanelState() { return Panel(); }

bool HandleSettingChange(HWin window, WParam wParam, LParam lParam) {
  (void)window;
  (void)wParam;
  (void)lParam;
  Panel().settingChanges++;
  return true;
}

long GetDialogBaseUnits() { return 6L | (13L << 16); }

}  // namespace pf
