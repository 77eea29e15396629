// The headless presenter: runs the script a step per idle call, sleeps on the
// endpoint otherwise.
#include "platform/presenter_headless/headless_presenter.h"

#include <poll.h>

#include <cstdio>
#include <utility>

#include "platform/png_writer.h"
#include "platform/shell.h"

namespace pf {

HeadlessPresenter::HeadlessPresenter(Script script) : script_(std::move(script)) {}

HeadlessPresenter::~HeadlessPresenter() { Uninstall(); }

void HeadlessPresenter::Install() {
  SetIdleHandler([this](const IdleRequest& request) { OnIdle(request); });
  installed_ = true;
}

void HeadlessPresenter::Uninstall() {
  if (!installed_) return;
  SetIdleHandler({});
  installed_ = false;
}

bool HeadlessPresenter::ScriptPending() const {
  return pending_ != Half::None || next_ < script_.commands.size();
}

int HeadlessPresenter::NextLine() const {
  if (pending_ != Half::None && next_ > 0) return script_.commands[next_ - 1].line;
  return next_ < script_.commands.size() ? script_.commands[next_].line : 0;
}

void HeadlessPresenter::OnIdle(const IdleRequest& request) {
  switch (pending_) {
    case Half::StylusUp:
      pending_ = Half::None;
      InjectStylusUp(pendingX_, pendingY_);
      return;
    case Half::KeyUp:
      pending_ = Half::None;
      InjectKeyUp(pendingKey_);
      return;
    case Half::None:
      break;
  }
  if (next_ < script_.commands.size()) {
    const ScriptCommand& command = script_.commands[next_++];
    Run(command);
    return;
  }
  // Nothing to do: sleep until another process talks to us, or the loop's
  // time is up (poll without descriptors simply sleeps).
  pollfd p{request.wakeFd, POLLIN, 0};
  const int timeout = request.maxWaitMs < 0 ? 0 : request.maxWaitMs;
  poll(&p, request.wakeFd >= 0 ? 1 : 0, timeout);
}

void HeadlessPresenter::Run(const ScriptCommand& command) {
  switch (command.op) {
    case ScriptOp::Tap:
      InjectStylusDown(command.x, command.y);
      pending_ = Half::StylusUp;
      pendingX_ = command.x;
      pendingY_ = command.y;
      return;
    case ScriptOp::Down:
      InjectStylusDown(command.x, command.y);
      return;
    case ScriptOp::Up:
      InjectStylusUp(command.x, command.y);
      return;
    case ScriptOp::Key:
      InjectKeyDown(command.key);
      pending_ = Half::KeyUp;
      pendingKey_ = command.key;
      return;
    case ScriptOp::Type:
      for (char16_t unit : command.text) InjectChar(unit);
      return;
    case ScriptOp::Screenshot: {
      ComposeScreen();
      std::string error;
      if (!WritePng(ScreenSurface(), command.path, &error)) {
        Fail(command, "screenshot: " + error);
      }
      return;
    }
    case ScriptOp::Quit:
      if (!InjectClose()) Fail(command, "quit: there is no window to close");
      return;
  }
}

void HeadlessPresenter::Fail(const ScriptCommand& command, const std::string& message) {
  failed_ = true;
  failure_ = FormatScriptError(script_.name, ScriptError{command.line, message});
  std::fprintf(stderr, "corvella: %s\n", failure_.c_str());
  next_ = script_.commands.size();
  pending_ = Half::None;
  if (!InjectClose()) PostQuitMessage(2);
}

}  // namespace pf
