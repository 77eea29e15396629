#pragma once
// Fonts and text: fonts made from a description, their metrics, measuring and
// drawing runs of 16-bit code points, and the list of installed font families.
//
// Real faces are found by fontconfig and rendered by FreeType, anti-aliased
// and blended in the text colour. A face name that is not installed falls back
// to fontconfig's nearest match, as the handheld would fall back. Fonts of the
// same face and pixel size share one rasteriser and one glyph cache, so making
// and deleting many fonts is cheap. Each 16-bit unit of a run is one code
// point (no surrogate pairs, no shaping, no kerning): a run's extent is the sum
// of its advances, and drawing puts each glyph at the sum of the advances
// before it. Zero-advance marks (Hebrew points) thus fall on the letter before
// them, and drawn alone centred they are centred by their ink.
//
// The built-in test font
// ----------------------
// Face name u"Corvella Test" (kTestFontFace) selects a font that needs nothing
// installed and whose metrics and pictures are fixed, for tests:
//   cell height  H = the height asked for when positive; (-height) * 5 / 4
//                when negative; 16 when 0 (the default size)
//   ascent       H - H / 4           descent  H / 4   (H 16: 12 and 4)
//   unit         a = max(2, H / 2)   (H 16: 8; H 14: 7; H 20: 10; H 12: 6)
//   advance      0      for code point 0, for 21..31 (the Hebrew points of
//                       fonts that hold them at the book code positions), for
//                       U+0300..U+036F, U+0591..U+05C7 except U+05BE, U+05C0,
//                       U+05C3 and U+05C6, and for U+FB1E   ("marks")
//                a / 2  for ' ' . , : ; ! ' | i l U+00A0 U+05D5 (vav)
//                       U+05D9 (yod)                        ("narrow")
//                a+a/2  for M W m w U+05DD U+05DE (mems) U+05E9 (shin)
//                                                           ("wide")
//                a      for every other code point
//   max width    a + a / 2; average width a; character set 177.
//   pictures     drawn in the text colour, never anti-aliased. A character of
//                advance w > 0 at pen position x, cell top y, is a solid box
//                of columns x .. x + w - 2 (w - 1 wide; w wide when the weight
//                is 600 or more) and rows y + 1 .. y + ascent - 1. Spaces
//                (U+0020, U+00A0) draw nothing. A mark is a 2 x 2 box of
//                columns x - 2, x - 1 and rows y + ascent + 1, y + ascent + 2
//                (just below the baseline, at the end of the letter before).
//                Underline: row y + ascent, columns x .. x + w - 1.
// The test font is listed by EnumFontFamilies only after
// SetTestFontEnumerated(true).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi.h"
#include "platform/handles.h"

namespace pf {

inline constexpr std::u16string_view kTestFontFace = u"Corvella Test";

// The face used for an empty face name, and the size used for a height of 0.
inline constexpr std::u16string_view kDefaultFontFace = u"DejaVu Sans";
constexpr int kDefaultFontCellHeight = 16;

// Character set of a family that has every Hebrew letter U+05D0..U+05EA.
constexpr std::uint8_t kHebrewCharSet = 177;
constexpr std::uint8_t kAnsiCharSet = 0;

// A font as asked for. Every property zero means: default face, default size,
// normal weight.
struct FontDescription {
  // > 0: the cell height (ascent + descent) in pixels; < 0: the character
  // height (the em size) in pixels; 0: kDefaultFontCellHeight.
  int height = 0;
  // 0 (= 400), 100..900; 600 and more is bold.
  int weight = 0;
  bool italic = false;
  bool underline = false;
  // Empty: the default face (see SetDefaultFontFace).
  std::u16string faceName;
};

// Makes a font; the caller deletes it with DeleteObject. A face name that is
// not installed gets fontconfig's nearest match; when no installed face can be
// loaded at all, the built-in test font stands in, so this never gives null
// except when out of memory. Heights beyond +-1000 pixels are clamped.
HFont CreateFont(const FontDescription& description);

// Changes the face that an empty face name (and the stock system font)
// stands for; empty restores kDefaultFontFace. Fonts made before keep their
// face. Tests set kTestFontFace here to make every default font exact.
void SetDefaultFontFace(std::u16string_view face);

struct TextMetrics {
  int height = 0;            // cell height: ascent + descent
  int ascent = 0;
  int descent = 0;
  int internalLeading = 0;   // cell height minus the em size
  int externalLeading = 0;
  int aveCharWidth = 0;
  int maxCharWidth = 0;
  int weight = 400;
  std::uint8_t charSet = 0;  // kHebrewCharSet or kAnsiCharSet
};

// Metrics of the font selected into the context; false for a bad context.
bool GetTextMetrics(HDc dc, TextMetrics* metrics);
// Metrics of a font object; false for a bad handle.
bool GetFontMetrics(HFont font, TextMetrics* metrics);
// The face name a font actually uses (after fallback), and the one asked for.
std::u16string GetFontFaceName(HFont font);

// The advance, in pixels, of one code point in the selected font; 0 for a bad
// context. A code point the face lacks has the advance of its missing glyph.
int GetCharAdvance(HDc dc, char16_t codePoint);

struct TextFit {
  int extent = 0;  // width of the whole run
  int height = 0;  // the font's cell height
  int fit = 0;     // leading code points whose extent is <= maxExtent
};
// Measures a run in the selected font. `fit` counts the leading code points
// whose summed advances do not exceed `maxExtent` (all of them when
// maxExtent < 0; zero-advance code points right after the last that fits are
// counted too). When `partial` is given, partial[i] gets the extent of the
// first i + 1 code points, for i below both sizes. A bad context gives zeros.
TextFit MeasureText(HDc dc, std::u16string_view run, int maxExtent = -1,
                    std::span<int> partial = {});

// Draws a run with the left end of its cell at (x, y) (y is the cell's top),
// in the text colour; in opaque mode the cell behind the run (extent x cell
// height) is filled with the background colour first. False for a bad context.
bool TextOut(HDc dc, int x, int y, std::u16string_view run);

// How DrawTextLine places a run in its rectangle. Values as on the platform.
enum DrawTextFlags : unsigned {
  kDtLeft = 0x0000,
  kDtCenter = 0x0001,   // horizontally centred
  kDtRight = 0x0002,
  kDtVCenter = 0x0004,  // vertically centred (else at the top)
  kDtBottom = 0x0008,
  kDtSingleLine = 0x0020,
  kDtNoClip = 0x0100,   // do not clip to the rectangle
  kDtNoPrefix = 0x0800,
};
// Draws a run as one line in `rect`, placed by `flags`, clipped to `rect`
// unless kDtNoClip. '&' has no special meaning (runs are always drawn without
// prefix processing) and line breaks are not interpreted. A run whose extent
// is 0 but which has ink (a lone mark) is centred horizontally by its ink's
// bounding box, so a point drawn alone in a letter's cell sits over that cell's
// centre. Returns the cell height, or 0 for a bad context.
int DrawTextLine(HDc dc, std::u16string_view run, const Rect& rect, unsigned flags);

// ---------------------------------------------------------------------------
// Font families

struct FontFamily {
  std::u16string faceName;
  std::uint8_t charSet = 0;  // kHebrewCharSet when the family has U+05D0..U+05EA
};

// The installed font families, one entry per family name, sorted by name.
// The test font comes first when SetTestFontEnumerated(true).
std::vector<FontFamily> ListFontFamilies();

// Calls `proc` once per family in ListFontFamilies() order with a description
// of the family (face name, default height, normal weight), the metrics of
// that family's regular face at the default size, a font type (4, a scalable
// face) and `param`. Stops when `proc` returns 0. Returns the last value
// `proc` returned (1 when there was no family). `dc` may be null.
using FontFamilyProc = int (*)(const FontDescription& family, const TextMetrics& metrics,
                               unsigned fontType, LParam param);
int EnumFontFamilies(HDc dc, FontFamilyProc proc, LParam param);

void SetTestFontEnumerated(bool listed);

}  // namespace pf
