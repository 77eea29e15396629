#include "app/main_window.h"

#include "app/app_state.h"
#include "app/startup.h"
#include "platform/constants.h"
#include "platform/message.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/window.h"

namespace {

// Bits 16 to 31 of a position-change record's flags, together with "no
// activation", mean the shell is taking the window away.
constexpr std::uint32_t kPosShellCloseMask = 0xFFFF0000u;

void OnActivate(pf::HWin window, pf::WParam wParam) {
  if ((wParam & 0xFFFF) == 0) return;  // deactivation does nothing
  const std::uint32_t flags = FullScreen != 0 ? (pf::kFullScreenHideTaskBar | pf::kFullScreenHideInputButton |
                                                 pf::kFullScreenHideStartIcon)
                                              : pf::kFullScreenHideInputButton;
  pf::RequestFullScreen(window, flags);
}

}  // namespace

int DoCommand(pf::HWin window, int command) {
  switch (command) {
    case kCmdExit:
      pf::DestroyWindow(window);
      return 0;
    default:
      return 1;
  }
}

pf::LResult MainWindowProc(pf::HWin window, std::uint32_t message, pf::WParam wParam, pf::LParam lParam) {
  switch (message) {
    case pf::kMsgCreate:
      App.MainWindow = window;
      return 0;
    case pf::kMsgDestroy:
      if (App.BarWindow != nullptr) pf::DestroyWindow(App.BarWindow);
      App.BarWindow = nullptr;
      ShutDown();
      return 0;
    case pf::kMsgActivate:
      if (IgnoreActivate != 0) return pf::DefaultWindowProc(window, message, wParam, lParam);
      OnActivate(window, wParam);
      return 0;
    case pf::kMsgPaint: {
      pf::PaintInfo paint;
      pf::BeginPaint(window, &paint);
      pf::EndPaint(window, &paint);
      return 0;
    }
    case pf::kMsgSettingChange:
      pf::HandleSettingChange(window, wParam, lParam);
      return 0;
    case pf::kMsgWindowPosChanged: {
      const auto* pos = reinterpret_cast<const pf::WindowPos*>(lParam);
      if (pos != nullptr && (pos->flags & kPosShellCloseMask) != 0 && (pos->flags & pf::kPosNoActivate) != 0) {
        pf::DestroyWindow(window);
      }
      return 0;
    }
    case pf::kMsgCommand:
      if (DoCommand(window, static_cast<int>(wParam & 0xFFFF)) != 0) {
        return pf::DefaultWindowProc(window, message, wParam, lParam);
      }
      return 0;
    case pf::kMsgCloseRequest:
      pf::DestroyWindow(window);
      return 0;
    default:
      return pf::DefaultWindowProc(window, message, wParam, lParam);
  }
}
