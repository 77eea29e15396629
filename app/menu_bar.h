#pragma once
// The main window's bar: the "Go" menu and the seven toolbar buttons, as a
// command bar at the top of the window or as the shell's menu bar at the
// bottom of the screen.

// Resources of the bar.
constexpr unsigned kMenuResourceGo = 102;       // menu with the "&Go" pop-up
constexpr unsigned kMenuBarRecord = 102;        // RCDATA: the shell menu bar's record
constexpr unsigned kStringGo = 302;             // "Go"
constexpr unsigned kBitmapToolbar = 114;        // seven 16 x 16 pictures
constexpr int kMenuBarGoButton = 40001;         // the shell menu bar's "Go" button

// Builds the bar for App.MainWindow and records App.ShellMenuBar,
// App.BarWindow and App.BarHeight. Platforms newer than 4.20 always get the
// shell menu bar; otherwise "MenuBarOnBottom" chooses. When the shell menu bar
// can't be made the program runs without a bar (BarWindow null, BarHeight 0).
void BuildMenuBar();
