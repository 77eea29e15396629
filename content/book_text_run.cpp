// Measuring and drawing BookCode runs through the platform's text operations.

#include <string_view>

#include "app/app_state.h"
#include "content/book_code.h"
#include "content/book_code_convert.h"
#include "platform/font.h"

void MeasureRun(pf::HDc dc, const std::uint8_t* text, int* width, int* count) {
  const int maxWidth = *width;
  const int n = *count < 0 ? 0 : *count;
  int written = 0;
  // Measured in reading order: the extent of a run is the sum of its advances,
  // so the order changes no width, and the characters that fit are the first.
  const char16_t* units = ConvertIntoRecord(&SharedConverter, text, n, false, nullptr, &written);
  if (units == nullptr) {
    *width = 0;
    *count = 0;
    return;
  }
  const std::u16string_view run(units, static_cast<std::size_t>(written));
  const int fitUnits = pf::MeasureText(dc, run, maxWidth < 0 ? 0 : maxWidth).fit;

  // Back to BookCode characters: a character fits when all its code points do.
  const int base = ConversionBase(&SharedConverter);
  int characters = 0;
  int unitsUsed = 0;
  for (; characters < n && text[characters] != 0; ++characters) {
    const std::uint8_t c = text[characters];
    int produced = 1;
    if (base != kBase97 && c >= kBookTableFirst && c <= kBookTableLast) {
      if (base == kBase1488) {
        produced = PairTable[c - kBookTableFirst].second != 0 ? 2 : 1;
      } else {
        produced = ByteTable[c - kBookTableFirst] != 0 ? 1 : 0;
      }
    }
    if (unitsUsed + produced > fitUnits) break;
    unitsUsed += produced;
  }
  *count = characters;
  *width = unitsUsed == 0 ? 0 : pf::MeasureText(dc, run.substr(0, static_cast<std::size_t>(unitsUsed))).extent;
}

void DrawRun(pf::HDc dc, const std::uint8_t* text, int count, int x, int y, int w, int h) {
  int written = 0;
  const char16_t* units = ConvertIntoRecord(&SharedConverter, text, count, (App.Flags & kFlagReverse) != 0,
                                            nullptr, &written);
  if (units == nullptr) return;
  const pf::Rect rect{x, y, x + w, y + h};
  pf::DrawTextLine(dc, std::u16string_view(units, static_cast<std::size_t>(written)), rect,
                   pf::kDtCenter | pf::kDtVCenter | pf::kDtSingleLine | pf::kDtNoPrefix);
}
