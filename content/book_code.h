#pragma once
// BookCode, the 8-bit character code all text of the program is held in, and
// its conversion to the code points of the chosen font.
//
// Three font encodings (FontAsciiBase):
//   97    the font has the Hebrew letters at the BookCode positions: no change
//   224   letters at 224-250 (the ISO 8859-8 layout); points are dropped
//   1488  a Unicode font: letters U+05D0-U+05EA, points U+05B0-U+05BB, pointed
//         forms from the Alphabetic Presentation Forms block
// Any other base converts like 224.
//
// BookCode classes: 0 ends a text; 16-19 final kaf with qamats or sheva (two
// code points in 1488); 20 resh with dagesh; 21-31 vowel points of zero width;
// 32-64 and 91-96 ASCII; 65-88 pointed letter forms; 89, 90 lamed with holam
// (two code points); 97-123 the 27 letters alef to tav in Unicode order.
// Codes below 16 and above 123 have no special role and pass unchanged.
//
// The tables and the *Run / *To functions are pure (shared with the course
// compiler). ConvertBookText, ConvertTypedText, MeasureRun and DrawRun use the
// program's settings and the platform; they live in the program's library.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "platform/handles.h"

// ---------------------------------------------------------------------------
// Codes and bases

constexpr int kBase97 = 97;
constexpr int kBase224 = 224;
constexpr int kBase1488 = 1488;

constexpr std::uint8_t kBookFinalKafQamats = 16;   // 16-19 pairs
constexpr std::uint8_t kBookResh = 20;             // resh with dagesh
constexpr std::uint8_t kBookFirstPoint = 21;       // hiriq
constexpr std::uint8_t kBookLastPoint = 31;        // holam
constexpr std::uint8_t kBookFirstForm = 65;        // pointed forms 65-88
constexpr std::uint8_t kBookLastForm = 88;
constexpr std::uint8_t kBookLamedHolam = 89;       // 89, 90 pairs
constexpr std::uint8_t kBookAlef = 97;             // letters 97-123
constexpr std::uint8_t kBookTav = 123;
constexpr std::uint8_t kBookTableFirst = 16;       // PairTable: 16-123
constexpr std::uint8_t kBookTableLast = 123;
constexpr int kHebrewLetterCount = 27;

constexpr bool IsBookPoint(std::uint8_t c) { return c >= kBookFirstPoint && c <= kBookLastPoint; }

// ---------------------------------------------------------------------------
// PairTable (base 1488): for each code 16-123 (entry c - 16) the first and the
// second code point; second 0 means one code point. In two-point rows the point
// comes first and the letter second.

struct PairRow {
  char16_t first = 0;
  char16_t second = 0;
};

namespace book_code_detail {
constexpr std::array<PairRow, 108> MakePairTable() {
  std::array<PairRow, 108> t{};
  for (int c = 16; c <= 123; ++c) {
    char16_t v = static_cast<char16_t>(c);
    if (c >= 97) v = static_cast<char16_t>(0x05D0 + (c - 97));
    t[static_cast<std::size_t>(c - 16)] = PairRow{v, 0};
  }
  auto set = [&t](int c, char16_t a, char16_t b) { t[static_cast<std::size_t>(c - 16)] = PairRow{a, b}; };
  set(16, 0x05B8, 0x05DA);
  set(17, 0x05B8, 0xFB3A);
  set(18, 0x05B0, 0x05DA);
  set(19, 0x05B0, 0xFB3A);
  set(20, 0xFB48, 0);
  constexpr char16_t points[11] = {0x05B4, 0x05B8, 0x05B7, 0x05B5, 0x05B6, 0x05BB,
                                   0x05B0, 0x05B3, 0x05B2, 0x05B1, 0x05B9};
  for (int i = 0; i < 11; ++i) set(21 + i, points[i], 0);
  constexpr char16_t forms[24] = {0xFB2A, 0xFB2B, 0xFB2C, 0xFB2D,                  // 65-68
                                  0xFB31, 0xFB32, 0xFB33, 0xFB34, 0xFB35, 0xFB36,  // 69-74
                                  0xFB38, 0xFB39, 0xFB3A, 0xFB3B, 0xFB3C,          // 75-79
                                  0xFB3E, 0xFB40, 0xFB41,                          // 80-82
                                  0xFB44, 0xFB46, 0xFB47,                          // 83-85
                                  0xFB49, 0xFB4A, 0xFB4B};                         // 86-88
  for (int i = 0; i < 24; ++i) set(65 + i, forms[i], 0);
  set(89, 0x05B9, 0xFB3C);
  set(90, 0x05B9, 0x05DC);
  return t;
}

constexpr std::array<std::uint8_t, 112> MakeByteTable() {
  std::array<std::uint8_t, 112> t{};
  auto set = [&t](int c, int v) { t[static_cast<std::size_t>(c - 16)] = static_cast<std::uint8_t>(v); };
  for (int c = 32; c <= 64; ++c) set(c, c);
  for (int c = 91; c <= 96; ++c) set(c, c);
  for (int c = 97; c <= 123; ++c) set(c, c + 127);
  for (int c = 16; c <= 19; ++c) set(c, 234);
  set(20, 248);
  constexpr int forms[26] = {249, 249, 249, 249,            // 65-68
                             225, 226, 227, 228, 229, 230,  // 69-74
                             232, 233, 234, 235, 236,       // 75-79
                             238, 240, 241,                 // 80-82
                             244, 246, 247,                 // 83-85
                             249, 250, 229,                 // 86-88
                             236, 236};                     // 89-90
  for (int i = 0; i < 26; ++i) set(65 + i, forms[i]);
  return t;  // 21-31 and 124-127 stay 0: dropped
}
}  // namespace book_code_detail

inline constexpr std::array<PairRow, 108> PairTable = book_code_detail::MakePairTable();

// ByteTable (base 224): for each code 16-127 (entry c - 16) one byte; 0 means
// the code is dropped. The search compares letters through it as well.
inline constexpr std::array<std::uint8_t, 112> ByteTable = book_code_detail::MakeByteTable();

// The PairTable row of c (16-123); other codes give {c, 0}.
constexpr PairRow PairOf(std::uint8_t c) {
  if (c >= kBookTableFirst && c <= kBookTableLast) return PairTable[c - kBookTableFirst];
  return PairRow{static_cast<char16_t>(c), 0};
}

// ---------------------------------------------------------------------------
// The other way round, for the course compiler: what a BookCode stands for in
// canonically decomposed Unicode. `letter` is the base letter (or the point or
// the character itself), `marks` the combining marks in canonical order
// (combining class ascending), count of marks in `markCount`. Codes 16-20 and
// 65-90 are pointed letters; 21-31 a lone point (letter 0, one mark); 97-123
// a bare letter; other codes stand for themselves (letter = c).
struct BookCodeDecomposition {
  char16_t letter = 0;
  std::uint8_t markCount = 0;
  char16_t marks[2] = {0, 0};
};
BookCodeDecomposition DecomposeBookCode(std::uint8_t c);

// ---------------------------------------------------------------------------
// WidthTable: widths in pixels of the measure glyphs of codes 16-127 in one
// font (entry c - 16). Codes 21-31 are always 0; codes below 16 and from 128 up
// have no entry and measure 0.

constexpr std::size_t kWidthTableSize = 112;
using WidthTable = std::array<std::uint16_t, kWidthTableSize>;

// The code point whose width stands for c in a WidthTable: for 16-123 with base
// 1488 the second code point of the PairTable row when there is one, else the
// first; with 97 c itself; with any other base the ByteTable byte (0 measures
// code point 0). 124-127: c itself. Codes without an entry give 0.
constexpr char16_t MeasureGlyph(std::uint8_t c, int base) {
  if (c < 16 || c > 127) return 0;
  if (c > 123) return c;
  if (base == kBase1488) {
    const PairRow row = PairTable[c - 16];
    return row.second != 0 ? row.second : row.first;
  }
  if (base == kBase97) return c;
  return ByteTable[c - 16];
}

// Fills every entry from `advance` (the width of one code point in the
// variant's font), with the entries of 21-31 set to 0.
void FillWidthTable(WidthTable& table, int base, const std::function<std::uint16_t(char16_t)>& advance);

// ---------------------------------------------------------------------------
// Conversion, pure form.

// Converts at most n characters of `text` (stopping early at a 0 byte) for
// `base` into `out`, which must have room for 2n + 1 code points, writes a 0
// after them, and returns the extra count: +1 for each character giving two
// code points (1488), -1 for each dropped one (224 and other bases). With
// `reverse` and base other than 97 and n > 0 the output is then passed through
// ReverseMirrored (all of the output, which is n + extra code points unless the
// text ended early). n <= 0 writes only the 0. `written` (may be null) gets the
// number of code points before the 0.
int ConvertBookCodeRun(const std::uint8_t* text, int n, int base, bool reverse, char16_t* out,
                       int* written = nullptr);

// Reverses `count` code points in place, mirroring ( ) [ ] { } on the way.
// count <= 0 or null does nothing.
void ReverseMirrored(char16_t* units, int count);

// Typed text back to BookCode (ConvertTypedText's rule with an explicit base):
// for each code point u of the 0-terminated `typed`, base <= u < base + 27
// becomes u - base + 97; a space followed by another space is left out; other
// code points keep their low 8 bits. Stops at the 0, or when `out` has room
// only for the terminating 0, which is always written (out must not be empty).
// Returns the number of bytes stored before the 0.
std::size_t TypedTextToBookCode(const char16_t* typed, int base, std::span<std::uint8_t> out);

// Counts how many characters of `text` fit `*width` pixels, at most `*count`,
// stopping at a 0 byte. Zero-width characters (21-31, below 16, 128 and up)
// always fit, also after the last character that fits. Out: *count the number
// counted, *width their width. Without a table the width becomes 0 and the
// count stays as it was.
void MeasureByWidths(const WidthTable* table, const std::uint8_t* text, int* width, int* count);

// ---------------------------------------------------------------------------
// The program's shared conversion record and the operations on its settings.

struct ConverterRecord {
  char16_t* units = nullptr;  // owned (CheckedAlloc); output of the last conversion
  std::int32_t capacity = 0;  // BookCode characters `units` has room for (2*capacity + 2 units)
  std::int32_t base = 0;      // base to convert with; 0 = the settings' FontAsciiBase
};

// The one program-wide record. Its buffer only grows; ReleaseSharedConverter
// frees it at shut-down (and in tests).
extern ConverterRecord SharedConverter;
void ReleaseSharedConverter();

// Converts at most n characters of `text` (to the first 0 byte) with the base
// of `converter` (or App.Font.FontAsciiBase when that is 0 or there is no
// converter), reversed and mirrored when App.Flags has kFlagReverse and the
// base is not 97. With a converter the output lies in its buffer (grown to 2n +
// 2 units when n exceeds its capacity) and stays valid until the next
// conversion; without one it is a new block the caller releases with
// ReleaseBlock. `extra` (may be null) receives the extra count. Returns null
// when memory ran out (the user has been told and ShutDown has run; stop).
char16_t* ConvertBookText(const std::uint8_t* text, int n, ConverterRecord* converter, int* extra);

// The search pattern from the text the user typed (0-terminated) into
// App.SearchString, with App.Font.FontAsciiBase. The dialog limits the text to
// 33 code points; longer text is cut so that the pattern and its 0 byte fit the
// 34 bytes.
void ConvertTypedText(const char16_t* typed);

// Measures n characters of `text` in the font selected into `dc`, converted
// through SharedConverter. In: *width the maximum width, *count n. Out: *count
// the number of BookCode characters that fit (a character giving two code
// points fits only whole; a dropped one fits with the characters around it),
// *width the extent of the code points of those characters. The run is
// measured in reading order whatever the Reverse flag says (extents are sums
// of advances, so only which characters come first matters). Out of memory:
// count and width 0.
void MeasureRun(pf::HDc dc, const std::uint8_t* text, int* width, int* count);

// Draws n characters of `text`, converted through SharedConverter, on one line
// centred both ways in the rectangle (x, y, x + w, y + h), clipped to it, with
// the current font and colours of `dc`, without prefix processing.
void DrawRun(pf::HDc dc, const std::uint8_t* text, int count, int x, int y, int w, int h);
