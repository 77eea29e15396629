#pragma once
// The window system's private state, shared by window.cpp, message.cpp,
// shell.cpp, msgbox.cpp and endpoint.cpp. Not for other areas.
//
// Windows live in one table keyed by a never-reused id; the handle's value is
// that id. Nothing outside this table holds a pointer to a record across a
// call into a window procedure (which may destroy any window): code looks the
// handle up again afterwards.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "platform/region.h"
#include "platform/shell.h"
#include "platform/surface.h"
#include "platform/window.h"

namespace pf::core {

struct ClassRecord {
  std::uint32_t style = 0;
  WindowProc procedure = nullptr;
  HInstance instance = nullptr;
  HIcon icon = nullptr;
  HBrush background = nullptr;
  std::u16string name;
  int windows = 0;       // live windows of this class
  bool builtIn = false;  // registered by the platform itself
};

struct DcRecord {
  HDc dc = nullptr;
  bool whole = false;  // window DC (non-client included) rather than client DC
};

struct WindowRecord {
  std::uint64_t id = 0;
  ClassRecord* windowClass = nullptr;  // null for a proxy
  WindowProc procedure = nullptr;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::uintptr_t controlId = 0;
  HWin parent = nullptr;  // child windows
  HWin owner = nullptr;   // owned top-level windows
  std::vector<HWin> children;  // creation order, bottom to top
  Rect rect;  // parent client coordinates (child) or screen coordinates
  std::u16string title;
  LParam userData = 0;
  LParam slots[kWindowSlotCount] = {};
  Region update;      // client coordinates
  bool erase = false;
  std::uint64_t updateTouches = 0;  // BeginPaint / ValidateRect calls
  ScrollInfo bars[2];  // horizontal, vertical
  std::unique_ptr<Surface> surface;
  std::vector<DcRecord> dcs;
  HWin lastFocus = nullptr;
  bool destroying = false;
  bool taskBar = false;
  // Proxy of a window in the running copy.
  bool remote = false;
  std::uint64_t remoteId = 0;
};

struct State {
  std::map<std::uint64_t, std::unique_ptr<WindowRecord>> windows;
  std::map<std::u16string, std::unique_ptr<ClassRecord>> classes;  // key: ASCII-lower name
  std::uint64_t nextId = 1;
  std::vector<HWin> topLevels;  // z-order, topmost first
  HWin active = nullptr;
  HWin focus = nullptr;
  HWin capture = nullptr;
  bool captureNonClient = false;
  NonClientHooks hooks;
};

State& St();

inline HWin HandleOf(std::uint64_t id) { return reinterpret_cast<HWin>(static_cast<std::uintptr_t>(id)); }
inline std::uint64_t IdOf(HWin h) { return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(h)); }

// x | y << 16, each as a 16-bit word (negative values wrap).
inline LParam PackPoint(int x, int y) {
  return static_cast<LParam>((static_cast<std::uint32_t>(x) & 0xFFFFu) |
                             ((static_cast<std::uint32_t>(y) & 0xFFFFu) << 16));
}

// The record of a live window (local or proxy), or null.
WindowRecord* Find(HWin h);
// The record of a live local window, or null.
WindowRecord* FindLocal(HWin h);

// Client area of a record in window coordinates.
Rect ClientAreaOf(const WindowRecord& w);
// The window's rectangle in screen coordinates.
Rect ScreenRectOf(const WindowRecord& w);
// The client area's top-left in screen coordinates.
Point ClientOriginOnScreen(const WindowRecord& w);
// Visible itself and all its ancestors.
bool Showing(const WindowRecord& w);

// The proxy for a window of the running copy (made on first use).
HWin ProxyFor(std::uint64_t remoteId);
// Forgets every window and class and resets all state (StopPlatform).
void ResetWindows();
// Paints the non-client area with the hook or the plain default.
void PaintNonClient(HWin h);
// The top-level window holding h (following parents), or null.
HWin TopLevelOf(HWin h);
// h is container or lies inside it (children of children...).
bool Inside(HWin h, HWin container);
// h and all its ancestors are enabled.
bool EnabledChain(HWin h);
// Moves the focus without activating anything; sends kill / set focus.
HWin SetFocusInternal(HWin target);
// Where the caption's OK button lies (window coordinates); empty if none.
Rect CaptionOkRect(const WindowRecord& w);
// Repaints the task bar (the foreground window or its title changed).
void InvalidateTaskBar();
// Activates a top-level window; `click` when by a stylus tap.
HWin Activate(HWin top, bool click);

// The plain non-client painting used without hooks (frame, caption, bar).
void PaintDefaultNonClient(HWin h, HDc dc);
// The task bar's picture: the foreground window's title and the time.
void PaintTaskBar(HWin bar, HDc dc);
// The desktop below every window (screen-sized), owned by the shell code.
Surface* DesktopSurface();

// Bumped whenever windows change in a way the screen shows (geometry,
// visibility, z-order, painting done).
void NoteScreenChange();

ShellState& MutableShellState();

// Empties the message queue and forgets quit state and the idle handler.
void ResetQueue();

// Called when a top-level window other than the task bar has been created.
void OnTopLevelCreated();

}  // namespace pf::core
