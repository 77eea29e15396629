#include "app/main_window.h"

#include <cstdlib>

#include "app/app_state.h"
#include "app/menu_bar.h"
#include "app/startup.h"
#include "calendar/show_lesson.h"
#include "content/lesson_resource.h"
#include "index/bookmarks.h"
#include "platform/commandbar.h"
#include "platform/constants.h"
#include "platform/menu.h"
#include "platform/message.h"
#include "platform/msgbox.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/window.h"
#include "view/article_view.h"

namespace {

// Bits 16 to 31 of a position-change record's flags, together with "no
// activation", mean the shell is taking the window away.
constexpr std::uint32_t kPosShellCloseMask = 0xFFFF0000u;
constexpr std::uint16_t kInitialLineCapacity = 100;

int LowWord(pf::LParam value) { return static_cast<int>(static_cast<std::uint32_t>(value) & 0xFFFF); }
int HighWord(pf::LParam value) { return static_cast<int>((static_cast<std::uint32_t>(value) >> 16) & 0xFFFF); }

// Page amount of a page mode (Flags bits 20-22 for keys, 24-26 for taps): half
// the rows shown for the values 2 and 4, the rows shown less one otherwise.
int PageAmount(std::uint32_t mode) {
  const int painted = App.View != nullptr ? App.View->paintedCount : 0;
  return (mode == 2 || mode == 4) ? painted / 2 : painted - 1;
}

// Scrolls the view by `rows` within the document and repaints; then the bar.
void ScrollBy(pf::HWin window, int rows) {
  if (App.View == nullptr) return;
  ScrollArticle(App.View, rows, 1, 1);
  SyncScrollBar(window);
}

void OnActivate(pf::HWin window, pf::WParam wParam) {
  if ((wParam & 0xFFFF) == 0) return;  // deactivation does nothing
  const std::uint32_t flags = FullScreen != 0 ? (pf::kFullScreenHideTaskBar | pf::kFullScreenHideInputButton |
                                                 pf::kFullScreenHideStartIcon)
                                              : pf::kFullScreenHideInputButton;
  pf::RequestFullScreen(window, flags);
}

// Result 0 for the keys that act, 1 (and no default handling) for the others.
pf::LResult OnKeyDown(pf::HWin window, pf::WParam key) {
  const int page = PageAmount((App.Flags & kFlagKeyPageMask) >> kFlagKeyPageShift);
  switch (key) {
    case pf::kVkPrior:
      ScrollBy(window, -page);
      return 0;
    case pf::kVkNext:
      ScrollBy(window, page);
      return 0;
    case pf::kVkEnd: {
      const int last = App.View != nullptr ? App.View->maxTopLine : 0;
      ScrollBy(window, last != 0 ? last : page);
      return 0;
    }
    case pf::kVkHome: {
      const int top = App.View != nullptr ? App.View->topLine : 0;
      ScrollBy(window, top != 0 ? -top : -page);
      return 0;
    }
    case pf::kVkLeft:
      StepLesson(window, -1);
      return 0;
    case pf::kVkUp:
      ScrollBy(window, -1);
      return 0;
    case pf::kVkRight:
      StepLesson(window, +1);
      return 0;
    case pf::kVkDown:
      ScrollBy(window, 1);
      return 0;
    default:
      return 1;
  }
}

pf::LResult OnVerticalScroll(pf::HWin window, pf::WParam wParam, pf::LParam lParam) {
  const auto request = static_cast<std::uint32_t>(wParam & 0xFFFF);
  const int thumb = static_cast<std::int16_t>((wParam >> 16) & 0xFFFF);
  int delta = 0;
  if (App.View != nullptr) {
    const int top = App.View->topLine;
    const int painted = App.View->paintedCount;
    switch (request) {
      case pf::kScrollLineUp: delta = -1; break;
      case pf::kScrollLineDown: delta = 1; break;
      case pf::kScrollPageUp: delta = 1 - painted; break;
      case pf::kScrollPageDown: delta = painted - 1; break;
      case pf::kScrollThumbPosition:
      case pf::kScrollThumbTrack: delta = thumb - top; break;
      case pf::kScrollTop: delta = -top; break;
      case pf::kScrollBottom: delta = 1; break;
      default: break;
    }
  }
  if (delta != 0) ScrollArticle(App.View, delta, 1, 1);
  pf::DefaultWindowProc(window, pf::kMsgVScroll, wParam, lParam);
  if (delta != 0) SyncScrollBar(window);
  return 1;
}

// The menu that holds the check-mark items: the "Go" pop-up of the shell
// menu bar, or the command bar's menu.
pf::HMenu CheckMarkMenu() {
  if (App.BarWindow == nullptr) return nullptr;
  if (App.ShellMenuBar != 0) {
    return reinterpret_cast<pf::HMenu>(
        pf::SendMessage(App.BarWindow, pf::kMsgMenuBarGetSubMenu, 0, kMenuBarGoButton));
  }
  return pf::CommandBarGetMenu(App.BarWindow, 0);
}

}  // namespace

int CheckMenuCommand(pf::HMenu menu, int mode, int command, int state) {
  const auto item = static_cast<unsigned>(command);
  if (mode != 0) {
    pf::CheckMenuItem(menu, item, state != 0 ? pf::kMenuChecked : pf::kMenuUnchecked);
    return state != 0 ? 1 : 0;
  }
  const std::uint32_t current = pf::GetMenuState(menu, item, pf::kMenuByCommand);
  const bool checked = current != pf::kMenuNotFound && (current & pf::kMenuChecked) != 0;
  pf::CheckMenuItem(menu, item, checked ? pf::kMenuUnchecked : pf::kMenuChecked);
  return checked ? 0 : 1;
}

void SetBookmarkCheck(pf::HWin /*window*/, int mode) {
  CheckMenuCommand(CheckMarkMenu(), mode, kCmdBookmark, IsBookmarked());
}

void SetReverseCheck(pf::HWin /*window*/, int mode) {
  const int on = CheckMenuCommand(CheckMarkMenu(), mode, kCmdReverse, (App.Flags & kFlagReverse) != 0 ? 1 : 0);
  if (on != 0) {
    App.Flags |= kFlagReverse;
  } else {
    App.Flags &= ~kFlagReverse;
  }
}

int SetUpView(pf::HWin window) {
  pf::HDc dc = pf::GetDc(window);
  pf::Rect rect;
  pf::GetClientRect(window, &rect);
  if (App.ShellMenuBar != 0) {
    rect.bottom -= App.BarHeight;
  } else {
    rect.top += App.BarHeight;
  }
  const int g = App.Gutter;
  if (rect.bottom - rect.top > 2 * g) {
    rect.top += g;
    rect.bottom -= 2 * g;
  }
  if (rect.right - rect.left > 2 * g) {
    rect.left += g;
    rect.right -= 2 * g;
  }
  App.View = CreateArticleView(dc, &rect, &App.Font, kInitialLineCapacity);
  if (App.View == nullptr) {
    pf::ReleaseDc(window, dc);
    return 1;
  }
  int error = 0;
  std::uint16_t plainLength = 0;
  std::uint8_t* document = LoadLessonDocument(App.Lesson, &error, &plainLength);
  if (HasShutDown()) return 1;  // memory ran out while loading
  if (document == nullptr) {
    // A broken stream has been reported by the loader already.
    if (error != 5) pf::MessageBox(window, u"Resource not found", u"Error", pf::kBoxIconExclamation | pf::kBoxOk);
    return 0;
  }
  const int laidOut = LayoutArticle(App.View, document, static_cast<std::size_t>(plainLength) + 2, false);
  if (HasShutDown()) return 1;
  if (laidOut != 0) {
    ReleaseBlock(document);  // refused: still ours
    return 0;
  }
  App.View->topLine = App.LastPosition;
  SyncScrollBar(window);
  return 0;
}

void ResizeView(pf::HWin window, pf::LParam size) {
  int w = LowWord(size);
  int h = HighWord(size);
  const int g = App.Gutter;
  if (w > 2 * g) w -= 2 * g;
  if (h > 2 * g) h -= 2 * g;
  if (App.View == nullptr) return;
  if (App.View->width != w || App.View->height != h) {
    SetArticleViewSize(App.View, w, h - App.BarHeight);
    if (HasShutDown()) return;
    SyncScrollBar(window);
  }
}

void PaintMainWindow(pf::HDc dc, pf::HWin window, unsigned flags) {
  pf::PaintInfo paint;
  const bool begun = dc == nullptr;
  if (begun) pf::BeginPaint(window, &paint);
  if ((flags & kPaintView) != 0 && App.View != nullptr) PaintArticle(App.View, (flags & kPaintClearFirst) != 0);
  if (begun) pf::EndPaint(window, &paint);
}

void RefreshView(pf::HWin window, unsigned flags) {
  if (window == nullptr) window = App.MainWindow;
  pf::HDc dc = pf::GetDc(window);
  PaintMainWindow(dc, window, flags);
  pf::ReleaseDc(window, dc);
  SyncScrollBar(window);
}

void SyncScrollBar(pf::HWin window) {
  if ((App.Flags & kFlagScrollBarMask) == 0 || App.View == nullptr) return;
  pf::ScrollInfo info;
  info.mask = pf::kScrollInfoRange | pf::kScrollInfoPosition;
  info.min = 0;
  info.max = App.View->maxTopLine;
  info.position = App.View->topLine;
  pf::SetScrollInfo(window, pf::kBarVertical, info, true);
}

int InViewArea(const ArticleView* view, int x, int y) {
  const int g = App.Gutter;
  return (view->left - g <= x && x <= view->left + view->width + g && view->top - g <= y &&
          y <= view->top + view->height)
             ? 1
             : 0;
}

int TapScroll(pf::HWin window, ArticleView* view, int x, int y) {
  if (InViewArea(view, x, y) == 0) return 0;
  if ((App.Flags & kFlagTapScrolling) == 0) return 0;
  const bool vertical = (App.Flags & kFlagTapZonesVertical) != 0;
  const int extent = vertical ? view->height : view->width;
  const int origin = vertical ? view->top : view->left;
  const int coordinate = vertical ? y : x;
  const int middle = origin + extent / 2;
  const int amount = std::abs(PageAmount((App.Flags & kFlagTapPageMask) >> kFlagTapPageShift));
  ScrollArticle(view, coordinate < middle ? -amount : amount, 1, 1);
  SyncScrollBar(window);
  return 1;
}

int DoCommand(pf::HWin window, int command) {
  switch (command) {
    case kCmdToday:
      ShowLesson(window, 0);
      return 0;
    case kCmdNextArticle:
      StepLesson(window, +1);
      return 0;
    case kCmdPreviousArticle:
      StepLesson(window, -1);
      return 0;
    case kCmdReverse:
      SetReverseCheck(window, 0);
      if (App.View != nullptr) PaintArticle(App.View, true);
      return 0;
    case kCmdBookmark:
      ToggleBookmark(IsBookmarked());
      SetBookmarkCheck(window, 1);
      return 0;
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
      BuildMenuBar();
      SetUpView(window);
      if (HasShutDown()) return 0;
      SetReverseCheck(window, 1);
      SetBookmarkCheck(window, 1);
      return 0;
    case pf::kMsgDestroy:
      if (App.View != nullptr) pf::ReleaseDc(window, App.View->dc);
      if (App.BarWindow != nullptr) pf::DestroyWindow(App.BarWindow);
      App.BarWindow = nullptr;
      ShutDown();
      return 0;
    case pf::kMsgSize:
      ResizeView(window, lParam);
      return 0;
    case pf::kMsgActivate:
      if (IgnoreActivate != 0) return pf::DefaultWindowProc(window, message, wParam, lParam);
      OnActivate(window, wParam);
      return 0;
    case pf::kMsgPaint:
      PaintMainWindow(reinterpret_cast<pf::HDc>(wParam), window, kPaintAll);
      return 0;
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
    case pf::kMsgKeyDown:
      return OnKeyDown(window, wParam);
    case pf::kMsgCommand:
      if (DoCommand(window, LowWord(static_cast<pf::LParam>(wParam))) != 0) {
        return pf::DefaultWindowProc(window, message, wParam, lParam);
      }
      return 0;
    case pf::kMsgVScroll:
      return OnVerticalScroll(window, wParam, lParam);
    case pf::kMsgLButtonDown:
      if (App.View != nullptr) TapScroll(window, App.View, LowWord(lParam), HighWord(lParam));
      return 0;
    case pf::kMsgCloseRequest:
      pf::DestroyWindow(window);
      return 0;
    default:
      return pf::DefaultWindowProc(window, message, wParam, lParam);
  }
}
