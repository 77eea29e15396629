#pragma once
// The headless presenter: no window at all. It runs an automation script (see
// script.h), one command each time the program goes idle, in the outermost
// message loop or in a nested modal one alike, and otherwise sleeps on the
// cross-process endpoint so that another copy can still reach this one (for
// example `corvella --close-running`).
//
// A tap and a key are two halves (down, then up at the next idle call), so
// the program handles the down before the up arrives, as with real input.
// When the script has run out without `quit`, the presenter just waits like
// one without a script.
//
// A command that fails while running (a screenshot that cannot be written,
// `quit` with no window to close) prints "corvella: script FILE:LINE:
// message" on standard error, drops the rest of the script and closes the
// program; Failed() then tells the caller to exit with an error.

#include <cstddef>
#include <string>

#include "platform/message.h"
#include "platform/presenter_headless/script.h"

namespace pf {

class HeadlessPresenter {
 public:
  explicit HeadlessPresenter(Script script = {});
  ~HeadlessPresenter();
  HeadlessPresenter(const HeadlessPresenter&) = delete;
  HeadlessPresenter& operator=(const HeadlessPresenter&) = delete;

  // Makes this presenter the platform's idle handler (SetIdleHandler). The
  // presenter must outlive the message loops that call it; the destructor
  // uninstalls it.
  void Install();
  void Uninstall();

  // What the idle handler does once: the next step of the script, or a wait
  // of at most request.maxWaitMs on request.wakeFd when there is none.
  void OnIdle(const IdleRequest& request);

  // Makes SIGINT and SIGTERM close the program the regular way (the
  // platform's close, as `quit` does) the next time it is idle, so that its
  // settings are written. The handler acts once: a second signal ends the
  // process at once, should the program never get idle again. Process-wide;
  // call once, before the program starts. False when it could not be set up.
  static bool CloseOnTerminationSignals();

  // True while script commands (or the second half of one) are left.
  bool ScriptPending() const;
  // The line of the next command to run (0 when none is left).
  int NextLine() const;
  bool Failed() const { return failed_; }
  // The message printed for the failure ("script FILE:LINE: ..."), or empty.
  const std::string& FailureMessage() const { return failure_; }

 private:
  enum class Half { None, StylusUp, KeyUp };

  void Run(const ScriptCommand& command);
  // Closes the program when a termination signal came; true when one did.
  bool TakeSignal();
  void Fail(const ScriptCommand& command, const std::string& message);

  Script script_;
  std::size_t next_ = 0;
  Half pending_ = Half::None;
  int pendingX_ = 0;
  int pendingY_ = 0;
  std::uint32_t pendingKey_ = 0;
  bool installed_ = false;
  bool failed_ = false;
  std::string failure_;
};

}  // namespace pf
