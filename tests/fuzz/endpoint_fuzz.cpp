// Fuzz target: requests arriving on the endpoint between copies. Every input
// is decoded and, when it passes, carried out on a small window system with a
// main window, as the running copy would.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/endpoint.h"
#include "platform/message.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace {

pf::LResult FuzzProc(pf::HWin window, std::uint32_t message, pf::WParam wParam, pf::LParam lParam) {
  if (message == pf::kMsgCloseRequest) {
    pf::DestroyWindow(window);
    return 0;
  }
  return pf::DefaultWindowProc(window, message, wParam, lParam);
}

void EnsureWindows() {
  static bool started = false;
  if (!started) {
    pf::StartPlatform();
    pf::WindowClass wc;
    wc.name = u"Corvella";
    wc.procedure = FuzzProc;
    pf::RegisterWindowClass(wc);
    started = true;
  }
  if (pf::FindLocalWindow(u"Corvella", u"Corvella") == nullptr) {
    pf::CreateWindow(0, u"Corvella", u"Corvella", pf::kStyleVisible, pf::kUseDefault, pf::kUseDefault,
                     pf::kUseDefault, pf::kUseDefault, nullptr, 0, nullptr, nullptr);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  EnsureWindows();
  const auto reply = pf::ServeEndpointBytes(std::span<const std::uint8_t>(data, size));
  if (!reply.empty() && reply.size() != sizeof(pf::EndpointReply)) __builtin_trap();
  // Drain what the request may have queued (paint, activation).
  pf::Msg msg;
  int guard = 0;
  while (guard++ < 100 && pf::PeekMessage(&msg, true)) pf::DispatchMessage(msg);
  return 0;
}
