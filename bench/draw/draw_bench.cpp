// Text drawing speed: one full 240 x 320 screen of pointed Hebrew (20 lines of
// 30 characters), drawn a line per call and a character per call (the way
// pointed text is placed), with a real font and with the test font; and the
// extent-and-fit measurement of one line.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/font.h"

namespace {

using namespace pf;

constexpr int kLines = 20;
constexpr int kLineChars = 30;
constexpr int kRowHeight = 16;

// 30 code points: letters, some with a point after them, and spaces.
std::u16string Line(int seed) {
  std::u16string line;
  int i = seed;
  while (line.size() < kLineChars) {
    if (i % 6 == 5) {
      line += u' ';
    } else {
      line += static_cast<char16_t>(0x05D0 + (i * 7) % 27);
      if (i % 3 == 0 && line.size() < kLineChars) line += static_cast<char16_t>(0x05B0 + i % 10);
    }
    ++i;
  }
  return line;
}

const std::vector<std::u16string>& Screen() {
  static const std::vector<std::u16string> lines = [] {
    std::vector<std::u16string> v;
    for (int n = 0; n < kLines; ++n) v.push_back(Line(n * 11));
    return v;
  }();
  return lines;
}

struct Setup {
  Surface surface{240, 320, 0xFFFFFF};
  HDc dc = nullptr;
  HFont font = nullptr;
  HObj old = nullptr;
  explicit Setup(std::u16string_view face) {
    dc = CreateSurfaceDc(&surface, Point{0, 0}, surface.Bounds());
    FontDescription d;
    d.height = kRowHeight;
    d.faceName = std::u16string(face);
    font = CreateFont(d);
    old = SelectObject(dc, font);
    SetBkMode(dc, BkMode::Transparent);
  }
  ~Setup() {
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDc(dc);
  }
};

void FullScreenByLine(benchmark::State& state, std::u16string_view face) {
  Setup s(face);
  HBrush white = static_cast<HBrush>(GetStockObject(StockObject::WhiteBrush));
  for (auto _ : state) {
    FillRect(s.dc, s.surface.Bounds(), white);
    int y = 0;
    for (const std::u16string& line : Screen()) {
      DrawTextLine(s.dc, line, Rect{0, y, 240, y + kRowHeight}, kDtRight | kDtVCenter | kDtSingleLine);
      y += kRowHeight;
    }
    benchmark::DoNotOptimize(s.surface.Pixels().data());
  }
}

// Each code point in its own cell, right to left, points centred over the
// letter before them: one draw call per code point.
void FullScreenByCharacter(benchmark::State& state, std::u16string_view face) {
  Setup s(face);
  HBrush white = static_cast<HBrush>(GetStockObject(StockObject::WhiteBrush));
  for (auto _ : state) {
    FillRect(s.dc, s.surface.Bounds(), white);
    int y = 0;
    for (const std::u16string& line : Screen()) {
      Rect cell{240, y, 240, y + kRowHeight};
      for (char16_t cp : line) {
        const int w = GetCharAdvance(s.dc, cp);
        if (w > 0) {
          cell.right = cell.left;
          cell.left = cell.right - w;
        }
        DrawTextLine(s.dc, std::u16string_view(&cp, 1), cell, kDtCenter | kDtVCenter | kDtSingleLine);
      }
      y += kRowHeight;
    }
    benchmark::DoNotOptimize(s.surface.Pixels().data());
  }
}

void MeasureFit(benchmark::State& state, std::u16string_view face) {
  Setup s(face);
  const std::u16string& line = Screen()[3];
  int partial[kLineChars];
  for (auto _ : state) {
    TextFit fit = MeasureText(s.dc, line, 120, partial);
    benchmark::DoNotOptimize(fit);
  }
}

void CreateAndDeleteFont(benchmark::State& state) {
  FontDescription d;
  d.height = 18;
  d.faceName = u"DejaVu Sans";
  for (auto _ : state) {
    HFont f = CreateFont(d);
    benchmark::DoNotOptimize(f);
    DeleteObject(f);
  }
}

BENCHMARK_CAPTURE(FullScreenByLine, dejavu, u"DejaVu Sans")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullScreenByLine, david, u"David CLM")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullScreenByLine, test_font, kTestFontFace)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullScreenByCharacter, dejavu, u"DejaVu Sans")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullScreenByCharacter, test_font, kTestFontFace)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MeasureFit, dejavu, u"DejaVu Sans");
BENCHMARK_CAPTURE(MeasureFit, test_font, kTestFontFace);
BENCHMARK(CreateAndDeleteFont);

}  // namespace

BENCHMARK_MAIN();
