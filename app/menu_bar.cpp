#include "app/menu_bar.h"

#include <array>
#include <string_view>

#include "app/app_state.h"
#include "app/main_window.h"
#include "platform/commandbar.h"
#include "platform/menubar.h"
#include "platform/system.h"
#include "platform/window.h"

namespace {

constexpr int kCommandBarId = 1;
constexpr int kToolbarImages = 7;

constexpr std::array<pf::BarButton, 7> kToolbarButtons = {{
    {0, kCmdPreviousArticle},
    {1, kCmdToday},
    {2, kCmdNextArticle},
    {3, kCmdFont},
    {4, kCmdSearch},
    {5, kCmdSearchAgain},
    {6, kCmdChooseArticle},
}};

// The first text belongs to the menu that heads the bar.
constexpr std::array<std::u16string_view, 8> kToolTips = {
    u"", u"Previous Day", u"Today", u"Next Day", u"Choose Font", u"Search", u"Search Again", u"Choose Article",
};

bool NewerThan420(pf::PlatformVersion version) {
  return version.major > 4 || (version.major == 4 && version.minor >= 21);
}

}  // namespace

void BuildMenuBar() {
  if (NewerThan420(pf::GetPlatformVersion())) App.ShellMenuBar = 1;

  if (App.ShellMenuBar == 0) {
    App.BarWindow = pf::CommandBarCreate(App.Instance, App.MainWindow, kCommandBarId);
    App.BarHeight = pf::CommandBarHeight(App.BarWindow);
    pf::CommandBarInsertMenubar(App.BarWindow, App.Instance, kMenuResourceGo, 0);
  } else {
    pf::ShellMenuBarInfo info;
    info.owner = App.MainWindow;
    info.flags = pf::kMenuBarNoInputButton;
    info.recordId = kMenuBarRecord;
    info.instance = App.Instance;
    if (pf::HWin bar = pf::CreateShellMenuBar(info)) App.BarWindow = bar;
    pf::Rect rect;
    if (App.BarWindow != nullptr && pf::GetWindowRect(App.BarWindow, &rect)) {
      App.BarHeight = rect.Height();
      // Leave the column of the window's scroll bar free, scroll bar or not.
      pf::MoveWindow(App.BarWindow, rect.left, rect.top,
                     rect.Width() - pf::GetSystemMetrics(pf::kMetricVScrollWidth), rect.Height(), true);
    }
  }
  if (App.BarWindow == nullptr) return;

  pf::CommandBarAddToolTips(App.BarWindow, kToolTips);
  pf::CommandBarAddBitmap(App.BarWindow, App.Instance, kBitmapToolbar, kToolbarImages, 16, 16);
  pf::CommandBarAddButtons(App.BarWindow, kToolbarButtons);
  if (FullScreen != 0 && App.ShellMenuBar == 0) pf::CommandBarAddAdornments(App.BarWindow, 0);
  pf::CommandBarShow(App.BarWindow, true);
}
