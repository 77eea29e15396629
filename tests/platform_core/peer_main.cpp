// A stand-in for a running copy of the program, for the two-process endpoint
// tests. It lists its events on standard output, one a line.
//
//   platform_core_peer serve    main window "Corvella" in front
//   platform_core_peer dialog   main window with an owned window "Dialog" in front
//
// It prints "ready" once it listens, and ends with exit code 7 when its main
// window is destroyed (by the close request), 2 when it cannot listen.
#include <cstdio>
#include <cstring>

#include "platform/endpoint.h"
#include "platform/message.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace {

using namespace pf;

void Say(const char* line, long value = -1) {
  if (value >= 0) {
    std::printf("%s %ld\n", line, value);
  } else {
    std::printf("%s\n", line);
  }
  std::fflush(stdout);
}

LResult PeerProc(HWin window, std::uint32_t message, WParam wParam, LParam lParam) {
  switch (message) {
    case kMsgCommand:
      Say("command", static_cast<long>(wParam & 0xFFFF));
      return 55;
    case kMsgCloseRequest:
      Say("close request");
      DestroyWindow(window);
      return 0;
    case kMsgActivate:
      if ((wParam & 0xFFFF) != kActivateInactive) Say("activated");
      return 0;
    case kMsgDestroy:
      Say("destroyed");
      PostQuitMessage(7);
      return 0;
    default:
      return DefaultWindowProc(window, message, wParam, lParam);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool dialog = argc > 1 && std::strcmp(argv[1], "dialog") == 0;
  StartPlatform();
  SetEndpointEnabled(true);
  WindowClass wc;
  wc.name = u"Corvella";
  wc.procedure = PeerProc;
  RegisterWindowClass(wc);
  const HWin main = CreateWindow(kExStyleWindowEdge, u"Corvella", u"Corvella", kStyleVisible, kUseDefault, kUseDefault,
                                 kUseDefault, kUseDefault, nullptr, 0, nullptr, nullptr);
  if (main == nullptr || !EndpointListening()) {
    Say("not listening");
    return 2;
  }
  if (dialog) {
    CreateWindow(0, u"Corvella", u"Dialog", kStylePopup | kStyleVisible, 0, 26, 240, 294, main, 0, nullptr,
                 nullptr);
  }
  Say("ready");
  Msg msg;
  while (GetMessage(&msg) > 0) {
    TranslateMessage(msg);
    DispatchMessage(msg);
  }
  const int code = QuitCode();
  StopPlatform();
  return code;
}
