#pragma once
// The message queue of the GUI thread: post, send, get, peek, translate,
// dispatch, quit; the default window procedure; nested modal loops; the hook
// through which a presenter feeds input while the program is idle; and the
// input-injection calls the presenters use.
//
// Order in which GetMessage / PeekMessage hand out messages: posted messages
// (input included) first, in the order posted; then the quit message once
// PostQuitMessage was called; then a paint message for a visible window whose
// update region is not empty (synthesised, topmost window first, parent before
// children; it is not queued and comes again until the region is empty). Only
// when none of these is there does the loop go idle: it composes nothing
// itself but calls the presenter's idle hook (or, without a presenter, waits
// on the cross-process endpoint).

#include <cstdint>
#include <functional>

#include "platform/constants.h"
#include "platform/handles.h"

namespace pf {

// Puts a message at the end of the queue. A null window posts a message for
// the thread (GetMessage returns it with a null window; DispatchMessage drops
// it). False for an invalid or proxy window, or when the queue is full
// (100000 messages).
bool PostMessage(HWin window, std::uint32_t message, WParam wParam, LParam lParam);

// Calls the window's procedure at once and returns its result; for a proxy
// window, asks the running copy to do so (integer parameters only, bounded
// wait; 0 on failure). 0 for an invalid window.
LResult SendMessage(HWin window, std::uint32_t message, WParam wParam, LParam lParam);

// Takes the next message (order above), waiting while there is none. Returns
// 0 for the quit message (its code is in msg->wParam and QuitCode()), 1 for
// any other, and -1 when nothing can ever arrive (no presenter is installed
// and no endpoint is listening): the caller must stop then.
int GetMessage(Msg* msg);

// Like GetMessage without waiting: false when there is nothing. With `remove`
// false the message stays (a paint message always stays until validated).
// The quit message is returned (and with `remove` consumed) like any other.
bool PeekMessage(Msg* msg, bool remove);

// Posts kMsgChar for kMsgKeyDown of a key that types a character: letters
// (lower case, upper case while Shift is down), digits, space, Return (0x0D),
// Back (0x08), Tab (0x09), Escape (0x1B). Returns true when it posted one.
bool TranslateMessage(const Msg& msg);

// Calls the procedure of msg.window; returns its result (0 for a thread
// message or an invalid window). A paint message whose procedure left the
// update region untouched gets the region validated afterwards, so a window
// that ignores paint cannot make the loop spin.
LResult DispatchMessage(const Msg& msg);

// Asks the loop to end: GetMessage returns 0 with `code` once the posted
// messages before it are handed out.
void PostQuitMessage(int code);
// The code of the last quit message handed out by GetMessage / PeekMessage.
int QuitCode();

// The default window procedure: close destroys the window; paint validates
// the update region (BeginPaint / EndPaint); erase background fills the
// client area with the class's brush (result 1) or returns 0 without one;
// set text / get text / get text length keep the title; the kMsgNc* stylus
// messages go to the non-client hooks; every other message returns 0 and does
// nothing. (Activation moves the focus by itself, see window.h.)
LResult DefaultWindowProc(HWin window, std::uint32_t message, WParam wParam, LParam lParam);

// Runs a nested message loop until `done()` returns true (checked before each
// wait and after each message) or a quit message arrives. Each message is
// first offered to `preTranslate` (when given; true means it was handled,
// e.g. dialog keyboard navigation), then translated and dispatched, so other
// windows keep painting. A quit message is posted again with its code so that
// the enclosing loop ends too. Returns true when done() ended the loop, false
// for quit or when GetMessage returned -1.
bool RunModalLoop(const std::function<bool()>& done,
                  const std::function<bool(Msg&)>& preTranslate = {});

// Keyboard accelerators. No resource defines a table, so loading yields
// null, and translating with a null table consumes nothing (returns 0).
struct AcceleratorTable;
using HAccel = AcceleratorTable*;
HAccel LoadAccelerators(HInstance instance, unsigned resourceId);
int TranslateAccelerator(HWin window, HAccel table, const Msg& msg);

// ---------------------------------------------------------------------------
// The presenter hook

struct IdleRequest {
  // A descriptor that becomes readable when another process is talking to
  // this one (-1 when none). A presenter that can wait on descriptors includes
  // it; one that cannot, waits no longer than `maxWaitMs`. The loop gives the
  // time until the task bar's clock turns to the next minute.
  int wakeFd = -1;
  int maxWaitMs = 100;
};

// Installed by a presenter (the desktop window or the headless script
// runner). Called by the message loop on the GUI thread whenever nothing is
// posted and nothing needs painting. It should present the screen if it
// changed (ComposeScreen in shell.h), then wait for outside input (or run the
// next script command) and feed it through the Inject* calls or PostMessage,
// and return. Returning without feeding anything is fine: the loop services
// the endpoint and calls again. Empty: no presenter.
using IdleHandler = std::function<void(const IdleRequest&)>;
void SetIdleHandler(IdleHandler handler);
bool HasIdleHandler();

// ---------------------------------------------------------------------------
// Input injection (screen coordinates; called by presenters and tests)

// The stylus touches the screen: the topmost enabled, visible window under
// the point gets kMsgLButtonDown (client coordinates, low word x, high word y)
// or kMsgNcLButtonDown outside its client area, and keeps the stylus
// (capture) until it is lifted. A touch on an inactive top-level window
// activates it first; a touch on a disabled window (e.g. the owner of a modal
// dialog) is dropped. Nothing under the point: dropped.
void InjectStylusDown(int x, int y);
// Moves while pressed go to the capture window (coordinates may lie outside
// it; negative ones wrap into the 16-bit words). Without capture: the window
// under the point gets kMsgMouseMove.
void InjectStylusMove(int x, int y);
void InjectStylusUp(int x, int y);
// Key down / up of a virtual key, to the focus window (the active window when
// nothing has the focus). Shift state is tracked for TranslateMessage. The
// help key (F1) going down sends kMsgHelp to the active window instead.
void InjectKeyDown(std::uint32_t virtualKey);
void InjectKeyUp(std::uint32_t virtualKey);
// A typed character (any UTF-16 unit, e.g. a Hebrew letter) as kMsgChar.
void InjectChar(char16_t character);
// The platform's close for the program: posts kMsgClose to the foreground
// (active) top-level window; false when there is none.
bool InjectClose();

}  // namespace pf
