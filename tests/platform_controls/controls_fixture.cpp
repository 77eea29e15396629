#include "tests/platform_controls/controls_fixture.h"

#include <array>
#include <deque>

#include "platform/endpoint.h"
#include "platform/font.h"
#include "platform/menu.h"
#include "platform/message.h"
#include "platform/msgbox.h"
#include "platform/png_writer.h"
#include "platform/resource.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace controls_test {
namespace {

std::vector<Seen>& Log() {
  static std::vector<Seen> log;
  return log;
}

pf::LResult RecordingProc(pf::HWin window, std::uint32_t message, pf::WParam wParam, pf::LParam lParam) {
  Log().push_back(Seen{window, message, wParam, lParam});
  return pf::DefaultWindowProc(window, message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Resources

constexpr pf::MenuTemplateItem kGoItems[] = {
    {u"&About", 40004, 0, {}},
    {u"Check &Updates", 129, 0, {}},
    {u"", 0, pf::kMenuSeparator, {}},
    {u"F&ont\x08" u"Ctrl+F", 40006, 0, {}},
    {u"Re&verse", 122, 0, {}},
    {u"", 0, pf::kMenuSeparator, {}},
    {u"&Today\x08" u"Ctrl+Home", 108, 0, {}},
    {u"&Disabled", 130, pf::kMenuGrayed, {}},
    {u"E&xit\x08" u"Ctrl+Q", 40005, 0, {}},
};
constexpr pf::MenuTemplateItem kMenu102[] = {{u"&Go", 0, pf::kMenuPopup, kGoItems}};

// A chain of pop-ups one level deeper than menus may nest.
struct Deep {
  std::array<pf::MenuTemplateItem, pf::kMaxMenuDepth + 2> levels{};
  constexpr Deep() {
    levels[0] = pf::MenuTemplateItem{u"leaf", 1, 0, {}};
    for (std::size_t i = 1; i < levels.size(); ++i) {
      levels[i] = pf::MenuTemplateItem{u"&Down", 0, pf::kMenuPopup, std::span(&levels[i - 1], 1)};
    }
  }
};
const Deep kDeep;

const pf::MenuResource kMenus[] = {
    {kTestMenu, kMenu102},
    {kDeepMenu, std::span(&kDeep.levels.back(), 1)},
};

// Nine little-endian words: menu, count, image, command, state, style,
// string, reserved, pop-up index.
constexpr std::array<std::uint8_t, 18> Record(std::uint16_t menu, std::uint16_t string, std::uint16_t popup) {
  const std::uint16_t words[9] = {menu, 1, 0xFFFE, 40001, 0x0004, 0x0018, string, 0, popup};
  std::array<std::uint8_t, 18> bytes{};
  for (std::size_t i = 0; i < 9; ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(words[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(words[i] >> 8);
  }
  return bytes;
}
constexpr auto kGood = Record(kTestMenu, kGoString, 0);
constexpr auto kNoMenu = Record(999, kGoString, 0);
constexpr auto kNoString = Record(kTestMenu, 999, 0);
constexpr auto kBadPopup = Record(kTestMenu, kGoString, 5);
constexpr std::array<std::uint8_t, 20> kLong = [] {
  std::array<std::uint8_t, 20> bytes{};
  for (std::size_t i = 0; i < kGood.size(); ++i) bytes[i] = kGood[i];
  return bytes;
}();
constexpr std::array<std::uint8_t, 4> kZero = {102, 0, 0, 0};

const pf::BinaryResource kRcData[] = {
    {kBarRecord, kGood},
    {kShortRecord, std::span(kGood).first(17)},
    {kLongRecord, kLong},
    {kNoMenuRecord, kNoMenu},
    {kNoStringRecord, kNoString},
    {kBadPopupRecord, kBadPopup},
    {kZeroRecord, kZero},
};

// A 48 x 16 24-bit BMP: red, green and blue squares.
std::vector<std::uint8_t> MakeStrip() {
  const int w = 48;
  const int h = 16;
  const int rowBytes = w * 3;
  const std::uint32_t dataSize = static_cast<std::uint32_t>(rowBytes * h);
  std::vector<std::uint8_t> b(54 + dataSize, 0);
  const auto put32 = [&b](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<std::uint32_t>(b.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(w));
  put32(22, static_cast<std::uint32_t>(h));
  b[26] = 1;
  b[28] = 24;
  put32(34, dataSize);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::size_t at = 54 + static_cast<std::size_t>(y * rowBytes + x * 3);
      const int which = x / 16;  // stored blue, green, red
      b[at + 0] = which == 2 ? 0xFF : 0;
      b[at + 1] = which == 1 ? 0xFF : 0;
      b[at + 2] = which == 0 ? 0xFF : 0;
    }
  }
  return b;
}
const std::vector<std::uint8_t> kStripBytes = MakeStrip();
const pf::BinaryResource kBitmaps[] = {{kStrip, kStripBytes}};

const pf::StringResource kStrings[] = {{kGoString, u"Go"}};

pf::ResourceTables MakeTables() {
  pf::ResourceTables t{};
  t.rcdata = kRcData;
  t.bitmaps = kBitmaps;
  t.strings = kStrings;
  t.menus = kMenus;
  return t;
}
const pf::ResourceTables kTables = MakeTables();

// ---------------------------------------------------------------------------
// Scripted input

std::deque<std::function<void()>>& Steps() {
  static std::deque<std::function<void()>> steps;
  return steps;
}

void OnIdle(const pf::IdleRequest&) {
  if (Steps().empty()) {
    ADD_FAILURE() << "a modal loop waited for input the script did not give";
    pf::InjectKeyDown(pf::kVkEscape);
    return;
  }
  const std::function<void()> step = std::move(Steps().front());
  Steps().pop_front();
  step();
}

}  // namespace

std::vector<Seen> Received(std::uint32_t message, pf::HWin only) {
  std::vector<Seen> out;
  for (const Seen& s : Log()) {
    if (s.message == message && (only == nullptr || s.window == only)) out.push_back(s);
  }
  return out;
}

void ClearLog() { Log().clear(); }

pf::HWin MakeWindow(std::uint32_t style, pf::Rect r) {
  return pf::CreateWindow(0, u"Rec", u"Recorder", style, r.left, r.top, r.Width(), r.Height(), nullptr, 0, nullptr,
                          nullptr);
}

void Pump() {
  pf::Msg msg;
  int guard = 0;
  while (pf::PeekMessage(&msg, true) && guard++ < 10000) {
    if (msg.message == pf::kMsgQuit) return;
    pf::TranslateMessage(msg);
    pf::DispatchMessage(msg);
  }
}

void Script(std::vector<std::function<void()>> steps) {
  for (auto& s : steps) Steps().push_back(std::move(s));
}

void Tap(int x, int y) {
  pf::InjectStylusDown(x, y);
  pf::InjectStylusUp(x, y);
}

const pf::Surface& Screen() {
  Pump();
  pf::ComposeScreen();
  return pf::ScreenSurface();
}

std::vector<std::string> Picture(pf::Rect r) {
  const pf::Surface& s = Screen();
  std::vector<std::string> rows;
  for (int y = r.top; y < r.bottom; ++y) {
    std::string row;
    for (int x = r.left; x < r.right; ++x) {
      const pf::Pixel p = s.At(x, y);
      const int red = static_cast<int>((p >> 16) & 0xFF);
      const int green = static_cast<int>((p >> 8) & 0xFF);
      const int blue = static_cast<int>(p & 0xFF);
      if (red < 0x60 && green < 0x60 && blue < 0x60) {
        row.push_back('#');
      } else if (p == 0xFFFFFF) {
        row.push_back('.');
      } else {
        row.push_back('o');
      }
    }
    rows.push_back(row);
  }
  return rows;
}

void SaveScreen(const std::string& name) {
  pf::WritePng(Screen(), std::string(CONTROLS_PICTURE_DIR) + "/" + name + ".png");
}

void Controls::SetUp() {
  pf::SetDefaultFontFace(pf::kTestFontFace);
  pf::SetEndpointEnabled(false);
  ASSERT_TRUE(pf::StartPlatform());
  pf::InstallResources(&kTables);
  pf::WindowClass rec;
  rec.procedure = RecordingProc;
  rec.background = pf::GetStockObject(pf::StockObject::WhiteBrush);
  rec.name = u"Rec";
  ASSERT_TRUE(pf::RegisterWindowClass(rec));
  pf::SetIdleHandler(OnIdle);
  Steps().clear();
  Log().clear();
}

void Controls::TearDown() {
  EXPECT_TRUE(Steps().empty()) << "script steps left over";
  Steps().clear();
  pf::SetIdleHandler({});
  pf::StopPlatform();
  pf::SetShellBottomBarHeight(0);
  pf::InstallResources(nullptr);
  Log().clear();
}

}  // namespace controls_test
