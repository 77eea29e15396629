// The headless presenter: runs the script a step per idle call, sleeps on the
// endpoint otherwise.
#include "platform/presenter_headless/headless_presenter.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include <cstdio>
#include <utility>

#include "platform/png_writer.h"
#include "platform/shell.h"

namespace pf {

namespace {

// Written by the signal handler, read on the GUI thread (-1: not set up).
std::array<int, 2> g_signalPipe{-1, -1};

extern "C" void OnTerminationSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = write(g_signalPipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

bool HeadlessPresenter::CloseOnTerminationSignals() {
  if (g_signalPipe[0] >= 0) return true;
  if (pipe2(g_signalPipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
    g_signalPipe = {-1, -1};
    return false;
  }
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

bool HeadlessPresenter::TakeSignal() {
  if (g_signalPipe[0] < 0) return false;
  char drain[16];
  bool any = false;
  while (read(g_signalPipe[0], drain, sizeof drain) > 0) any = true;
  if (any && !InjectClose()) PostQuitMessage(0);
  return any;
}

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
  if (TakeSignal()) return;
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
  // Nothing to do: sleep until another process talks to us, a termination
  // signal comes, or the loop's time is up (poll skips negative descriptors).
  std::array<pollfd, 2> fds{{{request.wakeFd, POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}}};
  const int timeout = request.maxWaitMs < 0 ? 0 : request.maxWaitMs;
  if (poll(fds.data(), fds.size(), timeout) > 0) TakeSignal();
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
