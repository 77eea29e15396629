#pragma once
// The screen and the shell around the program: starting and stopping the
// window system, the screen size and its composed picture, the task bar, the
// area the shell gives a new window, and full-screen requests.
//
// The shell's task bar is a top-level window of class "HHTaskBar" with an
// empty title, kTaskBarHeight (26) pixels high across the top of the screen,
// created by StartPlatform. It shows the foreground window's title and the
// time. It is never activated and never takes the focus.

#include <cstdint>

#include "platform/handles.h"
#include "platform/surface.h"

namespace pf {

// The screen size used by the next StartPlatform; default 240 x 320. Values
// are clamped to 64 .. 2048. Ignored (false) while the platform runs.
bool SetScreenSize(int width, int height);
int ScreenWidth();
int ScreenHeight();

// Starts the window system: the screen, the task bar. Safe to call when
// running (returns true, changes nothing).
bool StartPlatform();
// Destroys every window, empties the queue, forgets classes registered by
// the program, the focus, capture, full-screen state and the idle handler,
// and closes the endpoint (removing its socket if this process made it).
// Tests call it between cases; the program at exit.
void StopPlatform();
bool PlatformRunning();

// The task bar window (null when the platform is not running).
HWin GetTaskBar();

// The area a new top-level window gets for kUseDefault, in screen
// coordinates: the full width, from the bottom of the task bar to the bottom
// of the screen, less the shell's bottom bar when one is set. 0, 26, 240, 320
// on the default screen.
Rect DefaultWindowArea();
// Height of a menu bar the shell keeps at the bottom of the screen (0: none,
// the default); taken off DefaultWindowArea.
void SetShellBottomBarHeight(int height);

// A full-screen request for `window` (kFullScreen* flags): the task-bar flags
// hide or show the task bar window; the input-button and start-icon flags are
// recorded. False for an invalid window.
bool RequestFullScreen(HWin window, std::uint32_t flags);
struct ShellState {
  bool inputButtonVisible = true;
  bool startIconVisible = true;
  std::uint32_t lastFullScreenFlags = 0;
};
ShellState GetShellState();

// Composes the screen from the visible windows (desktop, then top-level
// windows bottom to top, each with its children) into the framebuffer and
// returns the bounding box of the pixels that changed since the last call
// (empty: nothing changed). Presenters call it before showing the screen.
Rect ComposeScreen();
// The framebuffer as last composed (ScreenWidth x ScreenHeight).
const Surface& ScreenSurface();
// How many times the composed picture changed; a presenter can compare.
std::uint64_t ScreenChangeCount();

}  // namespace pf
