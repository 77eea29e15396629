#include "tests/platform_core/core_fixture.h"

#include "platform/endpoint.h"
#include "platform/font.h"
#include "platform/message.h"
#include "platform/msgbox.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace core_test {

std::vector<Seen>& Log() {
  static std::vector<Seen> log;
  return log;
}

std::vector<Seen> Interesting(pf::HWin only) {
  std::vector<Seen> out;
  for (const Seen& s : Log()) {
    switch (s.message) {
      case pf::kMsgNcHitTest:
      case pf::kMsgGetText:
      case pf::kMsgGetTextLength:
      case pf::kMsgPaint:
      case pf::kMsgEraseBackground:
        continue;
      default:
        break;
    }
    if (only != nullptr && s.window != only) continue;
    out.push_back(s);
  }
  return out;
}

pf::LResult RecordingProc(pf::HWin window, std::uint32_t message, pf::WParam wParam, pf::LParam lParam) {
  Log().push_back(Seen{window, message, wParam, lParam});
  return pf::DefaultWindowProc(window, message, wParam, lParam);
}

void RegisterTestClasses() {
  pf::WindowClass rec;
  rec.procedure = RecordingProc;
  rec.name = u"Rec";
  ASSERT_TRUE(pf::RegisterWindowClass(rec));
  pf::WindowClass plain;
  plain.procedure = pf::DefaultWindowProc;
  plain.background = pf::GetStockObject(pf::StockObject::WhiteBrush);
  plain.name = u"Plain";
  ASSERT_TRUE(pf::RegisterWindowClass(plain));
}

pf::HWin MakeTop(std::uint32_t style, pf::Rect r, std::u16string_view title, pf::HWin owner, std::uint32_t exStyle) {
  return pf::CreateWindow(exStyle, u"Rec", title, style, r.left, r.top, r.Width(), r.Height(), owner, 0, nullptr,
                          nullptr);
}

pf::HWin MakeChild(pf::HWin parent, pf::Rect r, int id, std::uint32_t style) {
  return pf::CreateWindow(0, u"Rec", u"", pf::kStyleChild | style, r.left, r.top, r.Width(), r.Height(), parent,
                          static_cast<std::uintptr_t>(id), nullptr, nullptr);
}

void Pump() {
  pf::Msg msg;
  int guard = 0;
  while (pf::PeekMessage(&msg, true) && guard++ < 10000) {
    if (msg.message == pf::kMsgQuit) {
      pf::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    pf::TranslateMessage(msg);
    pf::DispatchMessage(msg);
  }
}

void Core::SetUp() {
  pf::SetDefaultFontFace(pf::kTestFontFace);
  pf::SetEndpointEnabled(false);
  ASSERT_TRUE(pf::StartPlatform());
  RegisterTestClasses();
  Log().clear();
}

void Core::TearDown() {
  pf::SetMessageBoxAnswerer({});
  pf::StopPlatform();
  pf::SetShellBottomBarHeight(0);
  Log().clear();
}

}  // namespace core_test
