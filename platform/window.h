#pragma once
// Windows: classes, creation and destruction, geometry, parent and owner,
// focus and activation, visibility, text, per-window data, the scroll-bar
// state, update regions and painting.
//
// Everything runs on the one GUI thread. Handles are tokens that are never
// reused: a handle of a destroyed window stays invalid for good, and every call
// given one fails harmlessly (false, null, 0 or an empty result). A window found
// in the running copy of another process is represented by a proxy handle (see
// endpoint.h); on a proxy only IsWindow (which then says only that the proxy
// exists, not that the other process still runs), GetParent, SendMessage and
// SetForegroundWindow work.
//
// Drawing model. Each window keeps its own picture (a Surface as large as the
// window, non-client area included); the screen is composed from the visible
// windows in z-order (ComposeScreen in shell.h). Drawing through a window's
// drawing context therefore never touches another window, whatever overlaps
// it, and a window that is uncovered again needs no repaint. A child is drawn
// above its parent, later siblings above earlier ones, and the foreground
// top-level window above the others.
//
// Message order (what a window procedure receives):
//   CreateWindow:  create; size; move; then, for a visible window, show window
//                  (wParam 1) and, for a top-level window that is not disabled,
//                  the activation (see SetActiveWindow). The whole client area
//                  is invalid (erase) afterwards. A create result of -1 refuses
//                  the window: it is destroyed (destroy is sent) and
//                  CreateWindow returns null.
//   ShowWindow:    show window; window-position changed (kPosShowWindow or
//                  kPosHideWindow); hiding the active window activates the next.
//   MoveWindow:    window-position changed; move when the position changed;
//                  size when the size changed. Size and move are sent by the
//                  platform itself, not by the default procedure.
//   DestroyWindow: owned top-level windows are destroyed first; then the window
//                  is hidden (no show-window message) and loses activation and
//                  focus (kill focus, activate inactive; the next top-level
//                  window is activated); then destroy is sent to the window,
//                  then its children are destroyed, each the same way, in
//                  creation order; the handles die last, children before the
//                  parent. A window may be destroyed from its own procedure.
//   Activation:    the old active window gets activate (inactive, lParam the
//                  new one); the new one gets activate (active or click, lParam
//                  the old one); then the focus moves (kill focus to the old
//                  focus, set focus to the new one): to the focus the window had
//                  when it was last active, else the window itself.
// The task bar (class "HHTaskBar") is never activated.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/constants.h"
#include "platform/handles.h"
#include "platform/region.h"

namespace pf {

// ---------------------------------------------------------------------------
// Classes

struct WindowClass {
  std::uint32_t style = 0;          // kClassStyle*
  WindowProc procedure = nullptr;   // required
  HInstance instance = nullptr;
  HIcon icon = nullptr;             // not owned
  HBrush background = nullptr;      // not owned; the default procedure erases with it; null: no erase
  std::u16string_view name;         // copied; compared without regard to ASCII case
};

// Registers a class. False when the name is empty or taken, or the procedure
// is null.
bool RegisterWindowClass(const WindowClass& windowClass);
// False when no such class is registered or a live window still uses it.
bool UnregisterWindowClass(std::u16string_view name);
// The registered class of this name, or false.
bool GetWindowClassInfo(std::u16string_view name, WindowClass* info);
// Registers a class of the platform's own controls (no style, brush or icon)
// unless one of that name exists. False when it can't be registered.
bool EnsureWindowClass(std::u16string_view name, WindowProc procedure);

// ---------------------------------------------------------------------------
// Creation and destruction

// What kMsgCreate's lParam points to (valid during that message only).
struct CreateInfo {
  void* param = nullptr;  // CreateWindow's `param`
  HInstance instance = nullptr;
  HWin parent = nullptr;  // the parent, or the owner of a top-level window
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::u16string_view title;
  std::u16string_view className;
};

// Creates a window of a registered class. With kStyleChild, `parent` is the
// parent (required) and x, y are in its client coordinates; otherwise the
// window is top-level and `parent`, if any, becomes its owner. `id` is a
// child's control id (a menu handle's value for a top-level window; stored
// only). kUseDefault for x gives the default position (x and y), for width
// the default size (width and height): for a top-level window the shell's
// default area (DefaultWindowArea in shell.h: below the task bar, 240 x 294
// on a 240 x 320 screen), for a child 0. Negative sizes become 0. Null when
// the class is unknown, a child has no live parent, or create refuses.
HWin CreateWindow(std::uint32_t exStyle, std::u16string_view className, std::u16string_view title,
                  std::uint32_t style, int x, int y, int width, int height, HWin parent,
                  std::uintptr_t id, HInstance instance, void* param);

// Destroys the window, its children and its owned windows (order above).
// False for an invalid handle (also one destroyed meanwhile).
bool DestroyWindow(HWin window);

bool IsWindow(HWin window);

// ---------------------------------------------------------------------------
// Relations

// The parent of a child window; the owner of an owned top-level window; null
// for others. For a proxy, asks the other process.
HWin GetParent(HWin window);
// The top-level window that holds `window` (itself when top-level): follows
// parents of child windows, not owners.
HWin GetTopLevelWindow(HWin window);
bool IsChild(HWin parent, HWin window);  // any depth
// The direct children, in creation order (bottom to top).
std::vector<HWin> GetChildren(HWin parent);
// The local top-level windows, topmost first.
std::vector<HWin> GetTopLevelWindows();
// The direct child with this control id, or null.
HWin FindChildById(HWin parent, int id);
int GetWindowId(HWin window);

// The top-level window of this class (ASCII case ignored) and exactly this
// title: first among this process's windows (topmost first), then in the
// running copy of the program (a proxy handle, see endpoint.h). Null when none.
HWin FindWindow(std::u16string_view className, std::u16string_view title);
// Only this process's windows.
HWin FindLocalWindow(std::u16string_view className, std::u16string_view title);

std::u16string GetClassName(HWin window);

// ---------------------------------------------------------------------------
// Activation and focus

// The active top-level window of this process, or null.
HWin GetActiveWindow();
// Activates the top-level window holding `window` (raising it to the top).
// Fails (null) for a disabled, hidden or invalid window and the task bar.
// Returns the previously active window.
HWin SetActiveWindow(HWin window);
// The foreground window: this process's active window; when there is none,
// the running copy's foreground window (a proxy), or null.
HWin GetForegroundWindow();
// Activates the window (locally, or in the running copy for a proxy).
bool SetForegroundWindow(HWin window);
// Raises a top-level window to the top of the z-order without activating it.
bool BringWindowToTop(HWin window);

// Gives `window` the keyboard focus (null: nobody). Activates its top-level
// window first when needed. Returns the previous focus, or null when the
// window is invalid or disabled (nothing changes then).
HWin SetFocus(HWin window);
HWin GetFocus();

// The window that receives the stylus while it is pressed.
HWin SetCapture(HWin window);  // returns the previous capture
bool ReleaseCapture();
HWin GetCapture();

// ---------------------------------------------------------------------------
// State

// Enables or disables input to the window (sends kMsgEnable when it changes).
// Disabling the focus window or one of its ancestors takes the focus away.
// Returns true when the window was disabled before the call.
bool EnableWindow(HWin window, bool enable);
bool IsWindowEnabled(HWin window);

// Shows or hides (kShowHide hides; every other mode shows; kShowNoActivate and
// kShowNA show without activating). Returns whether it was visible before.
bool ShowWindow(HWin window, int showMode);
// The window's own visible style bit.
bool IsWindowVisible(HWin window);
// Visible itself and all its ancestors: its picture reaches the screen.
bool IsWindowShowing(HWin window);

// Moves and sizes (parent client coordinates for a child, screen coordinates
// otherwise). `repaint` false leaves the update region alone (the picture is
// kept where it fits); true invalidates the whole client area.
bool MoveWindow(HWin window, int x, int y, int width, int height, bool repaint);

// What kMsgWindowPosChanged's (and kMsgWindowPosChanging's) lParam points to.
// The flags use kPos* and never set bits 16 to 31.
struct WindowPos {
  HWin window = nullptr;
  HWin insertAfter = nullptr;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  std::uint32_t flags = 0;
};

// The window's rectangle in screen coordinates.
bool GetWindowRect(HWin window, Rect* rect);
// The client rectangle: (0, 0, width, height). The client area is the window
// less its frame: kStyleBorder 1 pixel each side (or kStyleDialogFrame the
// dialog-frame metric), kExStyleWindowEdge the edge metric each side, a
// caption (kStyleCaption) its height at the top, kStyleVScroll the scroll-bar
// width at the right. Never negative.
bool GetClientRect(HWin window, Rect* rect);
// Where the client area lies inside the window rectangle (window coordinates).
bool GetClientArea(HWin window, Rect* rect);
// Converts between a window's client coordinates and the screen's.
bool ClientToScreen(HWin window, Point* point);
bool ScreenToClient(HWin window, Point* point);

// Style bits. Changing kStyleVisible or kStyleDisabled here changes the bit
// only; use ShowWindow / EnableWindow. Frame changes take effect at once.
std::uint32_t GetWindowStyle(HWin window);
std::uint32_t SetWindowStyle(HWin window, std::uint32_t style);  // returns the old
std::uint32_t GetWindowExStyle(HWin window);
std::uint32_t SetWindowExStyle(HWin window, std::uint32_t exStyle);

// The window procedure; setting it subclasses the window (returns the old one).
WindowProc GetWindowProcedure(HWin window);
WindowProc SetWindowProcedure(HWin window, WindowProc procedure);

// One word of the program's own data per window (0 at creation).
LParam GetWindowUserData(HWin window);
LParam SetWindowUserData(HWin window, LParam value);  // returns the old value
// Four more words per window for the dialog code (result, procedure, ...).
constexpr int kWindowSlotCount = 4;
LParam GetWindowSlot(HWin window, int slot);  // 0 for a slot out of range
LParam SetWindowSlot(HWin window, int slot, LParam value);

// The title through kMsgSetText / kMsgGetText, so that controls can keep their
// text their own way; the default procedure keeps it in the window.
bool SetWindowText(HWin window, std::u16string_view text);
std::u16string GetWindowText(HWin window);

// ---------------------------------------------------------------------------
// Scroll-bar state. bar: kBarVertical or kBarHorizontal of the window, or
// kBarControl for a scroll-bar control (kept like the vertical bar; redraw
// invalidates the control's client area instead of the frame). The track
// position is set only with kScrollInfoTrackPosition (the bar's own code).

struct ScrollInfo {
  std::uint32_t mask = kScrollInfoAll;  // which fields to set or get
  int min = 0;
  int max = 0;
  unsigned page = 0;
  int position = 0;
  int trackPosition = 0;
};
// Sets the fields named by the mask; the position is kept within
// [min, max - max(page - 1, 0)]. With `redraw` the bar is painted again.
// Returns the new position (0 for an invalid window).
int SetScrollInfo(HWin window, int bar, const ScrollInfo& info, bool redraw);
bool GetScrollInfo(HWin window, int bar, ScrollInfo* info);

// ---------------------------------------------------------------------------
// Update regions and painting

// Adds a rectangle of the client area (null: all of it) to the update region;
// `erase` asks for the background to be erased when painting begins.
bool InvalidateRect(HWin window, const Rect* rect, bool erase);
bool InvalidateRegion(HWin window, const Region& region, bool erase);
// Removes a rectangle (null: all) from the update region.
bool ValidateRect(HWin window, const Rect* rect);
// The bounding box of the update region; false when it is empty.
bool GetUpdateRect(HWin window, Rect* rect);
Region GetUpdateRegion(HWin window);
// Sends kMsgPaint at once when the update region is not empty.
bool UpdateWindow(HWin window);

struct PaintInfo {
  HDc dc = nullptr;
  bool erase = false;  // true when kMsgEraseBackground returned 0
  Rect area;           // bounding box of what is to be painted
};
// Begins painting: takes the update region (it becomes empty), sends
// kMsgEraseBackground when erasing was asked for, and returns a drawing
// context of the client area clipped to the region's bounding box. Null for an
// invalid window. Must be paired with EndPaint.
HDc BeginPaint(HWin window, PaintInfo* paint);
bool EndPaint(HWin window, const PaintInfo* paint);

// A drawing context of the client area (clipped to it); null window: the
// desktop below every window. It follows the window when it moves or is
// resized. Give it back with ReleaseDc. DCs still held at destruction are
// deleted with the window (the handle is then invalid).
HDc GetDc(HWin window);
// A drawing context of the whole window, non-client area included (origin at
// the window's top-left).
HDc GetWindowDc(HWin window);
bool ReleaseDc(HWin window, HDc dc);

// Hooks through which the controls area draws and drives the parts of a window
// outside its client area (the vertical scroll bar). Without them the platform
// draws a plain frame, caption and an empty bar, and ignores the stylus there.
struct NonClientHooks {
  // Paints the non-client area into `dc` (a window drawing context).
  void (*paint)(HWin window, HDc dc) = nullptr;
  // Stylus input that landed outside the client area of `window`, as
  // kMsgLButtonDown, kMsgMouseMove or kMsgLButtonUp, at `point` in window
  // coordinates. Returns true when taken. Called by the default window
  // procedure for kMsgNc* messages.
  bool (*stylus)(HWin window, std::uint32_t message, Point point) = nullptr;
};
void SetNonClientHooks(const NonClientHooks& hooks);
// Paints the non-client area again (e.g. after the scroll state changed).
void RedrawNonClient(HWin window);
// The vertical scroll bar's rectangle in window coordinates (empty without
// kStyleVScroll).
Rect GetVScrollBarRect(HWin window);

}  // namespace pf
