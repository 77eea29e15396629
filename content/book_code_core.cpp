#include <cstdint>

#include "content/book_code.h"

BookCodeDecomposition DecomposeBookCode(std::uint8_t c) {
  constexpr char16_t kDagesh = 0x05BC, kShinDot = 0x05C1, kSinDot = 0x05C2;
  constexpr char16_t kQamats = 0x05B8, kSheva = 0x05B0, kHolam = 0x05B9;
  constexpr char16_t kFinalKaf = 0x05DA, kLamed = 0x05DC, kShin = 0x05E9;
  auto make = [](char16_t letter, char16_t m1 = 0, char16_t m2 = 0) {
    BookCodeDecomposition d;
    d.letter = letter;
    d.marks[0] = m1;
    d.marks[1] = m2;
    d.markCount = static_cast<std::uint8_t>((m1 != 0) + (m2 != 0));
    return d;
  };
  switch (c) {
    case 16: return make(kFinalKaf, kQamats);
    case 17: return make(kFinalKaf, kQamats, kDagesh);
    case 18: return make(kFinalKaf, kSheva);
    case 19: return make(kFinalKaf, kSheva, kDagesh);
    case 20: return make(0x05E8, kDagesh);
    case 65: return make(kShin, kShinDot);
    case 66: return make(kShin, kSinDot);
    case 67: return make(kShin, kDagesh, kShinDot);
    case 68: return make(kShin, kDagesh, kSinDot);
    case 86: return make(kShin, kDagesh);
    case 88: return make(0x05D5, kHolam);
    case 89: return make(kLamed, kHolam, kDagesh);
    case 90: return make(kLamed, kHolam);
    default: break;
  }
  if (c >= 69 && c <= 87) {
    // Letters with dagesh (or mapiq): the presentation form's base letter.
    constexpr char16_t letters[19] = {0x05D1, 0x05D2, 0x05D3, 0x05D4, 0x05D5, 0x05D6,  // 69-74
                                      0x05D8, 0x05D9, 0x05DA, 0x05DB, 0x05DC,          // 75-79
                                      0x05DE, 0x05E0, 0x05E1,                          // 80-82
                                      0x05E4, 0x05E6, 0x05E7,                          // 83-85
                                      0,      0x05EA};                                 // 86-87
    return make(letters[c - 69], kDagesh);
  }
  if (IsBookPoint(c)) return make(0, PairTable[c - 16].first);
  if (c >= kBookAlef && c <= kBookTav) return make(static_cast<char16_t>(0x05D0 + (c - kBookAlef)));
  return make(c);
}

void FillWidthTable(WidthTable& table, int base,
                    const std::function<std::uint16_t(char16_t)>& advance) {
  for (std::size_t k = 0; k < kWidthTableSize; ++k) {
    const auto c = static_cast<std::uint8_t>(k + 16);
    table[k] = IsBookPoint(c) ? std::uint16_t{0} : advance(MeasureGlyph(c, base));
  }
}

int ConvertBookCodeRun(const std::uint8_t* text, int n, int base, bool reverse, char16_t* out,
                       int* written) {
  int extra = 0;
  char16_t* o = out;
  for (int i = 0; i < n && text[i] != 0; ++i) {
    const std::uint8_t c = text[i];
    if (base == kBase97 || c < kBookTableFirst || c > kBookTableLast) {
      *o++ = c;
    } else if (base == kBase1488) {
      const PairRow row = PairTable[c - kBookTableFirst];
      *o++ = row.first;
      if (row.second != 0) {
        *o++ = row.second;
        ++extra;
      }
    } else {
      const std::uint8_t b = ByteTable[c - kBookTableFirst];
      if (b != 0) {
        *o++ = b;
      } else {
        --extra;
      }
    }
  }
  *o = 0;
  const int count = static_cast<int>(o - out);
  if (n > 0 && base != kBase97 && reverse) ReverseMirrored(out, count);
  if (written) *written = count;
  return extra;
}

void ReverseMirrored(char16_t* units, int count) {
  if (units == nullptr || count <= 0) return;
  auto mirror = [](char16_t u) -> char16_t {
    switch (u) {
      case u'(': return u')';
      case u')': return u'(';
      case u'[': return u']';
      case u']': return u'[';
      case u'{': return u'}';
      case u'}': return u'{';
      default: return u;
    }
  };
  int i = 0;
  int j = count - 1;
  for (; i < j; ++i, --j) {
    const char16_t a = units[i];
    units[i] = mirror(units[j]);
    units[j] = mirror(a);
  }
  if (i == j) units[i] = mirror(units[i]);
}

std::size_t TypedTextToBookCode(const char16_t* typed, int base, std::span<std::uint8_t> out) {
  std::size_t stored = 0;
  if (out.empty()) return 0;
  if (typed != nullptr) {
    for (std::size_t i = 0; typed[i] != 0 && stored + 1 < out.size(); ++i) {
      const int u = typed[i];
      if (u >= base && u < base + kHebrewLetterCount) {
        out[stored++] = static_cast<std::uint8_t>(u - base + kBookAlef);
      } else if (u == u' ' && typed[i + 1] == u' ') {
        continue;
      } else {
        out[stored++] = static_cast<std::uint8_t>(u & 0xFF);
      }
    }
  }
  out[stored] = 0;
  return stored;
}

void MeasureByWidths(const WidthTable* table, const std::uint8_t* text, int* width, int* count) {
  if (table == nullptr) {
    *width = 0;
    return;
  }
  const long long maxWidth = *width;
  const int maxCount = *count;
  long long used = 0;
  int counted = 0;
  while (counted < maxCount && text[counted] != 0) {
    const std::uint8_t c = text[counted];
    if (c >= 16 && c < 128 && !IsBookPoint(c)) {
      const std::uint16_t w = (*table)[c - 16];
      if (used + w > maxWidth) break;
      used += w;
    }
    ++counted;
  }
  *width = static_cast<int>(used);
  *count = counted;
}
