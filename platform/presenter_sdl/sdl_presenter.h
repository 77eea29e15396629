#pragma once
// The desktop presenter: one SDL2 window showing the handheld's screen scaled
// by a whole factor. The mouse is the stylus, keys are virtual keys, typed
// text is characters (sdl_input.h). It sleeps until an event arrives, another
// process talks to this one (the endpoint's descriptor, watched by a helper
// thread that wakes the window's event wait), or the message loop's time is up,
// and draws only when the composed screen changed or the window was exposed.
//
// This folder is the only code that includes SDL; the header keeps it out.

#include <memory>
#include <string>

#include "platform/message.h"

namespace pf {

struct SdlPresenterOptions {
  // Window pixels per screen pixel, 1 .. 16; 0: the largest that fits the
  // desktop's usable area.
  int scale = 0;
};

class SdlPresenter {
 public:
  SdlPresenter();
  ~SdlPresenter();
  SdlPresenter(const SdlPresenter&) = delete;
  SdlPresenter& operator=(const SdlPresenter&) = delete;

  // Starts SDL's video and makes the window "Corvella" for the running
  // platform's screen, with the icon resource 101 as its icon when there is
  // one, and installs the idle handler. The window shows once the program
  // first goes idle. False (and `error` says why) when
  // there is no display or the window cannot be made; nothing is left open
  // then. Call after StartPlatform.
  bool Start(const SdlPresenterOptions& options, std::string* error);
  // Uninstalls the idle handler, closes the window and stops SDL. Safe to
  // call more than once.
  void Stop();
  int Scale() const;

  // What the idle handler does once: present, wait, feed the input.
  void OnIdle(const IdleRequest& request);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace pf
