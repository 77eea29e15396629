#pragma once
// The main window: its message handler, the command dispatch, the geometry of
// the view area with its gutter, painting, the tap zones, the scroll bar kept
// in step with the view, and the Bookmark and Reverse check marks. Every user
// action enters the program here.

#include <cstdint>

#include "platform/handles.h"

struct ArticleView;

// Command ids of the menu and the toolbar.
constexpr int kCmdChooseArticle = 107;
constexpr int kCmdToday = 108;
constexpr int kCmdNextArticle = 109;
constexpr int kCmdPreviousArticle = 110;
constexpr int kCmdSearch = 116;
constexpr int kCmdSearchAgain = 117;
constexpr int kCmdIndex = 119;
constexpr int kCmdReverse = 122;
constexpr int kCmdBookmark = 123;
constexpr int kCmdCheckForUpdates = 129;
constexpr int kCmdAbout = 40004;
constexpr int kCmdExit = 40005;
constexpr int kCmdFont = 40006;

// Paint flags of PaintMainWindow and RefreshView.
constexpr unsigned kPaintView = 0x001;
constexpr unsigned kPaintClearFirst = 0x100;
constexpr unsigned kPaintAll = 0x1FF;

pf::LResult MainWindowProc(pf::HWin window, std::uint32_t message, pf::WParam wParam, pf::LParam lParam);

// 0 when the command was handled, 1 when it was not.
int DoCommand(pf::HWin window, int command);

// Creates the view for the window's client area (less the bar and the gutter)
// and shows lesson App.Lesson in it at row App.LastPosition. 0, or 1 when the
// view could not be made (View stays null; the window lives on without it).
int SetUpView(pf::HWin window);
// Fits the view to a new client size (low word width, high word height).
void ResizeView(pf::HWin window, pf::LParam size);
// Paints the view into its own context (flag kPaintView; kPaintClearFirst
// clears its area first). Without `dc` painting is begun and ended here.
void PaintMainWindow(pf::HDc dc, pf::HWin window, unsigned flags);
// Paints at once, outside a paint message, then SyncScrollBar. A null window
// means App.MainWindow.
void RefreshView(pf::HWin window, unsigned flags);
// Sets the vertical scroll bar from the view (range 0 to maxTopLine, position
// topLine) when the settings give the window a scroll bar.
void SyncScrollBar(pf::HWin window);
// 1 when (x, y) lies in the view widened by the gutter left, right and above.
int InViewArea(const ArticleView* view, int x, int y);
// Pages the view by a tap in one of its halves. 1 when the tap was taken as a
// page move, else 0.
int TapScroll(pf::HWin window, ArticleView* view, int x, int y);
// Mode nonzero: sets the item's check mark from `state` and returns 1 or 0.
// Mode 0: toggles the mark and returns the new state.
int CheckMenuCommand(pf::HMenu menu, int mode, int command, int state);
// The Bookmark mark from IsBookmarked (mode 1) or toggled (mode 0).
void SetBookmarkCheck(pf::HWin window, int mode);
// The Reverse mark from Flags (mode 1), or mark and Flags bit 0x800 toggled
// together (mode 0).
void SetReverseCheck(pf::HWin window, int mode);
