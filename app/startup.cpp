#include "app/startup.h"

#include <algorithm>
#include <string_view>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "calendar/schedule.h"
#include "content/book_code.h"
#include "index/bookmarks.h"
#include "platform/constants.h"
#include "platform/gdi.h"
#include "platform/message.h"
#include "platform/msgbox.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/window.h"
#include "view/article_view.h"

namespace {

constexpr char16_t kMainClassName[] = u"Corvella";
constexpr char16_t kMainTitle[] = u"Corvella";
constexpr char16_t kTaskBarClass[] = u"HHTaskBar";
constexpr unsigned kAcceleratorResource = 3;
constexpr unsigned kIndexBitmapFirst = 201;
constexpr std::uint32_t kFullScreenHideAll =
    pf::kFullScreenHideTaskBar | pf::kFullScreenHideInputButton | pf::kFullScreenHideStartIcon;

// Set once ShutDown has run in this start of the program; a second call (the
// destroy message after an out-of-memory shut-down) then does nothing.
bool shutDownDone = false;

}  // namespace

bool IsTodayCommandLine(std::u16string_view commandLine) {
  constexpr std::u16string_view kToday = u"/today";
  if (commandLine.size() != kToday.size()) return false;
  return std::equal(commandLine.begin(), commandLine.end(), kToday.begin(), [](char16_t a, char16_t b) {
    const auto lower = [](char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; };
    return lower(a) == lower(b);
  });
}

namespace {

void ReadDeviceOptions() {
  IgnoreActivate = ReadNumber(kDeviceOptionsKey, u"IgnoreActivate", 0);
  FullScreen = ReadNumber(kDeviceOptionsKey, u"FullScreen", 0);
  AllowSipInHebrewSearch = ReadNumber(kDeviceOptionsKey, u"AllowSipInHebrewSearch", 1);
}

// A running copy's main window was found: show today's lesson when it is in
// front, bring it forward otherwise.
void ActOnRunningCopy(pf::HWin running) {
  pf::HWin foreground = pf::GetForegroundWindow();
  pf::HWin topMost = foreground;
  for (pf::HWin parent = topMost ? pf::GetParent(topMost) : nullptr; parent != nullptr;
       parent = pf::GetParent(parent)) {
    topMost = parent;
  }
  if (running == foreground) pf::SendMessage(running, pf::kMsgCommand, kCmdToday, 0);
  if (running != topMost) pf::SetForegroundWindow(running);
}

}  // namespace

void ReportOutOfMemory() {
  pf::MessageBox(nullptr, u"There is not enough memory, aborting", u"Error", pf::kBoxIconStop | pf::kBoxOk);
}

void LoadIndexBitmaps() {
  for (unsigned i = 0; i < 3; ++i) App.IndexBitmaps[i] = pf::LoadBitmapResource(kIndexBitmapFirst + i);
}

void RegisterMainClass(pf::HInstance instance, const char16_t* className) {
  pf::WindowClass windowClass;
  windowClass.style = pf::kClassStyleHRedraw | pf::kClassStyleVRedraw;
  windowClass.procedure = MainWindowProc;
  windowClass.instance = instance;
  windowClass.background = pf::GetStockObject(pf::StockObject::WhiteBrush);
  windowClass.name = className;
  pf::RegisterWindowClass(windowClass);
}

pf::HWin StartMainWindow(int showMode) {
  if (pf::HWin running = pf::FindWindow(kMainClassName, kMainTitle)) {
    ActOnRunningCopy(running);
    return nullptr;
  }
  pf::InitCommonControls();
  if (TaskBar != nullptr) pf::ShowWindow(TaskBar, pf::kShowHide);

  LoadSettings();
  if (shutDownDone) return nullptr;  // memory ran out while loading
  SelectLesson(0, App.TodayRequested != 0);
  RegisterMainClass(App.Instance, kMainClassName);

  std::uint32_t style = pf::kStyleVisible;
  if ((App.Flags & kFlagScrollBarMask) != 0) style |= pf::kStyleVScroll;
  pf::HWin window = pf::CreateWindow(pf::kExStyleWindowEdge, kMainClassName, kMainTitle, style, pf::kUseDefault,
                                     pf::kUseDefault, pf::kUseDefault, pf::kUseDefault, nullptr, 0, App.Instance,
                                     nullptr);
  if (window == nullptr || shutDownDone) return window;

  if (FullScreen != 0) {
    pf::Rect rect;
    pf::GetWindowRect(window, &rect);
    pf::RequestFullScreen(window, kFullScreenHideAll);
    pf::MoveWindow(window, rect.left, 0, rect.right, rect.bottom, false);
  }
  pf::ShowWindow(window, showMode);
  pf::UpdateWindow(window);
  return window;
}

int CorvellaMain(pf::HInstance instance, pf::HInstance /*previous*/, const char16_t* commandLine, int showMode) {
  App = AppState{};
  App.Instance = instance;
  shutDownDone = false;
  TaskBar = nullptr;

  ReadDeviceOptions();
  if (FullScreen != 0) TaskBar = pf::FindLocalWindow(kTaskBarClass, u"");
  const bool taskBarWasVisible = TaskBar != nullptr && pf::IsWindowVisible(TaskBar);
  App.ShellMenuBar = ReadNumber(kDeviceOptionsKey, u"MenuBarOnBottom", 0);
  App.Gutter = ReadNumber(kDeviceOptionsKey, u"SurroundingGutter", 0);

  const std::u16string_view line = commandLine != nullptr ? std::u16string_view(commandLine) : u"";
  if (!line.empty() && IsTodayCommandLine(line)) App.TodayRequested = 1;

  const auto restoreTaskBar = [&] {
    if (TaskBar != nullptr && taskBarWasVisible && !pf::IsWindowVisible(TaskBar)) {
      pf::ShowWindow(TaskBar, pf::kShowNA);
    }
  };

  if (StartMainWindow(showMode) == nullptr) {
    restoreTaskBar();
    return 0;
  }

  pf::HAccel accelerators = pf::LoadAccelerators(instance, kAcceleratorResource);
  pf::Msg msg;
  int got = 0;
  while ((got = pf::GetMessage(&msg)) > 0) {
    if (pf::TranslateAccelerator(msg.window, accelerators, msg) == 0) {
      pf::TranslateMessage(msg);
      pf::DispatchMessage(msg);
    }
  }
  restoreTaskBar();
  return got == 0 ? static_cast<int>(msg.wParam) : 0;
}

bool HasShutDown() { return shutDownDone; }

void ShutDown() {
  if (shutDownDone) return;
  shutDownDone = true;
  for (pf::HBitmap& bitmap : App.IndexBitmaps) {
    if (bitmap != nullptr) pf::DeleteObject(bitmap);
    bitmap = nullptr;
  }
  SaveSettings();
  DestroyArticleView(App.View);
  App.View = nullptr;
  ReleaseSharedConverter();
  // A list that was never read completely must not replace the stored one.
  if (SettingLoaded(kLoadedBookmarks)) SaveBookmarks();
  FreeBookmarks();
  pf::PostQuitMessage(0);
}
