#pragma once
// Message boxes: a small modal top-level window, centred on the screen, with
// an icon letter, the text and one to three buttons, run in a nested message
// loop. The owner (if any) is disabled while it is open and enabled again,
// and the focus put back, afterwards.
//
// Keys: Return chooses the focused button (the default button at first,
// kBoxDefaultButton1..3); Escape chooses Cancel, or No in a Yes/No box, or OK
// in an OK box; Left/Right/Tab move the focus between buttons. A tap on a
// button chooses it.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/handles.h"

namespace pf {

// Shows a message box. `text` and `caption` may be null (an empty text; the
// caption "Error"). `style` is kBox* buttons | icon | default button; an
// unknown button set is treated as kBoxOk. Returns kIdOk, kIdCancel, kIdYes,
// kIdNo, ... for the button chosen; kIdCancel (or kIdNo / kIdOk when the box
// has no Cancel) when the loop ends by a quit message, which is posted again.
// 0 when the window cannot be made.
int MessageBox(HWin owner, const char16_t* text, const char16_t* caption, std::uint32_t style);

// Test seam. While an answerer is set, MessageBox shows no window: it calls
// the answerer with what it was given and returns its answer. Empty removes
// it. Tests record the calls in the answerer.
struct MessageBoxCall {
  HWin owner = nullptr;
  std::u16string text;
  std::u16string caption;  // "Error" when none was given
  std::uint32_t style = 0;
};
using MessageBoxAnswerer = std::function<int(const MessageBoxCall&)>;
void SetMessageBoxAnswerer(MessageBoxAnswerer answerer);

// The message box window now open (the innermost), or null. For tests and
// the automation script.
HWin GetOpenMessageBox();

}  // namespace pf
