#pragma once
// The main window: its message handler and the command dispatch. Every user
// action enters the program here.

#include <cstdint>

#include "platform/handles.h"

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

pf::LResult MainWindowProc(pf::HWin window, std::uint32_t message, pf::WParam wParam, pf::LParam lParam);

// 0 when the command was handled, 1 when it was not.
int DoCommand(pf::HWin window, int command);
