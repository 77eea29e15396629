// Fonts and text: fontconfig finds a face for a description, FreeType loads and
// renders it, and each (face, pixel size, emboldening) is one FontData shared
// by every font object made for it. Glyphs (advance and 8-bit coverage) are
// rasterised once per FontData and code point; the built-in test font makes
// its glyphs the same way from its documented rules, so drawing and measuring
// are one code path for both.

#include "platform/font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/gdi_internal.h"
#include "platform/utf.h"

namespace pf {

namespace {

constexpr int kMinHeight = 1;
constexpr int kMaxHeight = 1000;
constexpr char16_t kHebrewFirst = 0x05D0;
constexpr char16_t kHebrewLast = 0x05EA;

// One rasterised glyph. Coverage rows run from `top` pixels above the baseline
// downwards; `left` is the first column relative to the pen position.
struct Glyph {
  bool loaded = false;
  int advance = 0;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> coverage;  // width * height, 0..255
};

// Glyphs of one font by code point: 256 pages of 256, made on first use. When
// more than kMaxPages pages exist, or the glyph pictures pass kMaxBytes, all
// are dropped and filled again. A glyph found here stays valid only until the
// next Find.
class GlyphCache {
 public:
  static constexpr int kMaxPages = 32;
  static constexpr std::size_t kMaxBytes = 8u << 20;
  Glyph* Find(char16_t cp) {
    auto& page = pages_[cp >> 8];
    if (!page) {
      if (pageCount_ >= kMaxPages) Clear();
      page = std::make_unique<std::array<Glyph, 256>>();
      ++pageCount_;
    }
    return &(*page)[cp & 0xFF];
  }
  // Called before a glyph is made: keeps the pictures within the budget.
  void MakeRoom() {
    if (bytes_ > kMaxBytes) Clear();
  }
  void Count(const Glyph& g) { bytes_ += g.coverage.size(); }

 private:
  void Clear() {
    for (auto& p : pages_) p.reset();
    pageCount_ = 0;
    bytes_ = 0;
  }
  std::array<std::unique_ptr<std::array<Glyph, 256>>, 256> pages_;
  int pageCount_ = 0;
  std::size_t bytes_ = 0;
};

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i], y = b[i];
    if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x + 32);
    if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y + 32);
    if (x != y) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// The test font's rules (documented in font.h).

bool TestFontMark(char16_t cp) {
  if (cp == 0 || (cp >= 21 && cp <= 31)) return true;
  if (cp >= 0x0300 && cp <= 0x036F) return true;
  if (cp >= 0x0591 && cp <= 0x05C7) {
    return cp != 0x05BE && cp != 0x05C0 && cp != 0x05C3 && cp != 0x05C6;
  }
  return cp == 0xFB1E;
}

bool TestFontNarrow(char16_t cp) {
  switch (cp) {
    case u' ': case u'.': case u',': case u':': case u';': case u'!': case u'\'': case u'|':
    case u'i': case u'l': case 0x00A0: case 0x05D5: case 0x05D9:
      return true;
    default:
      return false;
  }
}

bool TestFontWide(char16_t cp) {
  switch (cp) {
    case u'M': case u'W': case u'm': case u'w': case 0x05DD: case 0x05DE: case 0x05E9:
      return true;
    default:
      return false;
  }
}

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    return lib;
  }();
  return library;
}

bool FontconfigReady() {
  static const bool ready = FcInit() != FcFalse;
  return ready;
}

}  // namespace

// A face at one pixel size: the shared part of font objects.
struct FontData {
  bool test = false;
  std::u16string family;
  TextMetrics metrics;
  int underlinePosition = 0;   // rows below the baseline
  int underlineThickness = 1;

  // Test font.
  int unit = 8;
  bool testBold = false;

  // Real face (owned).
  FT_Face face = nullptr;
  bool embolden = false;

  GlyphCache glyphs;

  FontData() = default;
  FontData(const FontData&) = delete;
  FontData& operator=(const FontData&) = delete;
  ~FontData() {
    if (face) FT_Done_Face(face);
  }

  const Glyph& Get(char16_t cp) {
    Glyph* g = glyphs.Find(cp);
    if (!g->loaded) {
      glyphs.MakeRoom();
      g = glyphs.Find(cp);
      if (test) {
        MakeTestGlyph(cp, *g);
      } else {
        LoadGlyph(cp, *g);
      }
      g->loaded = true;
      glyphs.Count(*g);
    }
    return *g;
  }

  int TestAdvance(char16_t cp) const {
    if (TestFontMark(cp)) return 0;
    if (TestFontNarrow(cp)) return unit / 2;
    if (TestFontWide(cp)) return unit + unit / 2;
    return unit;
  }

  void MakeTestGlyph(char16_t cp, Glyph& g) const {
    g.advance = TestAdvance(cp);
    const int ascent = metrics.ascent;
    if (g.advance == 0) {
      if (cp == 0) return;
      g.left = -2;
      g.top = -1;
      g.width = 2;
      g.height = 2;
    } else {
      if (cp == u' ' || cp == 0x00A0) return;
      g.left = 0;
      g.top = ascent - 1;
      g.width = testBold ? g.advance : g.advance - 1;
      g.height = ascent - 1;
    }
    if (g.width <= 0 || g.height <= 0) {
      g.width = g.height = 0;
      return;
    }
    g.coverage.assign(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height), 255);
  }

  void LoadGlyph(char16_t cp, Glyph& g) const {
    if (!face) return;
    const FT_UInt index = FT_Get_Char_Index(face, cp);
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0) return;
    FT_GlyphSlot slot = face->glyph;
    if (embolden) FT_GlyphSlot_Embolden(slot);
    g.advance = std::max(0, static_cast<int>((slot->advance.x + 32) >> 6));
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.width == 0 || bm.rows == 0 || !bm.buffer) return;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(bm.width);
    g.height = static_cast<int>(bm.rows);
    g.coverage.resize(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height));
    const int pitch = bm.pitch;
    for (int row = 0; row < g.height; ++row) {
      const unsigned char* src =
          pitch >= 0 ? bm.buffer + static_cast<std::ptrdiff_t>(row) * pitch
                     : bm.buffer + static_cast<std::ptrdiff_t>(g.height - 1 - row) * (-pitch);
      std::copy(src, src + g.width, g.coverage.begin() + static_cast<std::ptrdiff_t>(row) * g.width);
    }
  }
};

namespace {

// ---------------------------------------------------------------------------
// Finding faces

struct FaceLocation {
  std::string path;
  int index = 0;
  std::u16string family;
  bool faceIsBold = false;
};

struct Registry {
  std::u16string defaultFace{kDefaultFontFace};
  unsigned generation = 1;
  bool listTestFont = false;
  // fontconfig answers by (face name, bold, italic).
  std::map<std::tuple<std::u16string, bool, bool>, std::optional<FaceLocation>> matches;
  // Shared font data by (path, index, 26.6 em size, embolden) or test key.
  std::map<std::tuple<std::string, int, long, bool>, std::shared_ptr<FontData>> fonts;
  std::optional<std::vector<std::pair<FontFamily, TextMetrics>>> families;
};

Registry& State() {
  static Registry& registry = *new Registry;  // lives for the whole run
  return registry;
}

std::optional<FaceLocation> MatchFace(const std::u16string& name, bool bold, bool italic) {
  Registry& r = State();
  const auto key = std::make_tuple(name, bold, italic);
  if (auto it = r.matches.find(key); it != r.matches.end()) return it->second;
  std::optional<FaceLocation> found;
  if (FontconfigReady()) {
    FcPattern* pattern = FcPatternCreate();
    if (pattern) {
      const std::string family = Utf16ToUtf8(name);
      FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
      FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
      FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
      FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
      FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
      FcDefaultSubstitute(pattern);
      FcResult result = FcResultNoMatch;
      FcPattern* match = FcFontMatch(nullptr, pattern, &result);
      if (match) {
        FcChar8* file = nullptr;
        FcChar8* familyName = nullptr;
        int index = 0;
        int weight = FC_WEIGHT_REGULAR;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
          FaceLocation location;
          location.path = reinterpret_cast<const char*>(file);
          if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) location.index = index;
          if (FcPatternGetString(match, FC_FAMILY, 0, &familyName) == FcResultMatch && familyName) {
            location.family = Utf8ToUtf16(reinterpret_cast<const char*>(familyName));
          }
          if (FcPatternGetInteger(match, FC_WEIGHT, 0, &weight) == FcResultMatch) {
            location.faceIsBold = weight >= FC_WEIGHT_DEMIBOLD;
          }
          found = location;
        }
        FcPatternDestroy(match);
      }
      FcPatternDestroy(pattern);
    }
  }
  r.matches.emplace(key, found);
  return found;
}

bool FaceHasHebrew(FT_Face face) {
  for (char16_t cp = kHebrewFirst; cp <= kHebrewLast; ++cp) {
    if (FT_Get_Char_Index(face, cp) == 0) return false;
  }
  return true;
}

int Round(double v) { return static_cast<int>(std::lround(v)); }

// Drops shared fonts that no font object uses any more, beyond a few kept for
// quick re-creation.
void TrimFonts() {
  constexpr std::size_t kKeepUnused = 24;
  Registry& r = State();
  std::size_t unused = 0;
  for (const auto& entry : r.fonts) {
    if (entry.second.use_count() == 1) ++unused;
  }
  for (auto it = r.fonts.begin(); it != r.fonts.end() && unused > kKeepUnused;) {
    if (it->second.use_count() == 1) {
      it = r.fonts.erase(it);
      --unused;
    } else {
      ++it;
    }
  }
}

std::shared_ptr<FontData> MakeTestFont(int height, int weight) {
  int cell = 0;
  if (height > 0) {
    cell = height;
  } else if (height < 0) {
    cell = -height + (-height) / 4;
  } else {
    cell = kDefaultFontCellHeight;
  }
  cell = std::clamp(cell, kMinHeight, kMaxHeight);
  const bool bold = weight >= 600;
  Registry& r = State();
  const auto key = std::make_tuple(std::string("\x01test"), 0, static_cast<long>(cell), bold);
  if (auto it = r.fonts.find(key); it != r.fonts.end()) return it->second;
  auto data = std::make_shared<FontData>();
  data->test = true;
  data->family = std::u16string(kTestFontFace);
  data->unit = std::max(2, cell / 2);
  data->testBold = bold;
  TextMetrics& m = data->metrics;
  m.height = cell;
  m.descent = cell / 4;
  m.ascent = cell - m.descent;
  m.internalLeading = height < 0 ? cell - (-height) : 0;
  m.aveCharWidth = data->unit;
  m.maxCharWidth = data->unit + data->unit / 2;
  m.weight = bold ? 700 : 400;
  m.charSet = kHebrewCharSet;
  data->underlinePosition = 0;
  data->underlineThickness = 1;
  r.fonts.emplace(key, data);
  TrimFonts();
  return data;
}

std::shared_ptr<FontData> LoadRealFont(const FaceLocation& location, int height, int weight) {
  const bool bold = weight >= 600;
  const bool embolden = bold && !location.faceIsBold;
  Registry& r = State();
  const auto key = std::make_tuple(location.path, location.index, static_cast<long>(height), embolden);
  if (auto it = r.fonts.find(key); it != r.fonts.end()) return it->second;

  FT_Library library = Library();
  if (!library) return nullptr;
  FT_Face face = nullptr;
  if (FT_New_Face(library, location.path.c_str(), location.index, &face) != 0) return nullptr;
  auto data = std::make_shared<FontData>();
  data->face = face;  // owned by data from here on
  data->embolden = embolden;
  if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) return nullptr;
  const double upem = face->units_per_EM;
  double winAscent = face->ascender, winDescent = -face->descender;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    winAscent = os2->usWinAscent;
    winDescent = os2->usWinDescent;
  }
  if (winAscent + winDescent <= 0) {
    winAscent = upem * 0.8;
    winDescent = upem * 0.2;
  }
  // The em size in pixels, and the cell: a positive height is the cell, a
  // negative one the em.
  double em = 0;
  int cell = 0, ascent = 0;
  if (height > 0) {
    cell = height;
    em = cell * upem / (winAscent + winDescent);
    ascent = std::clamp(Round(winAscent * em / upem), 0, cell);
  } else {
    em = -height;
    ascent = Round(winAscent * em / upem);
    cell = std::max(1, ascent + Round(winDescent * em / upem));
  }
  const long em26 = std::max(64L, static_cast<long>(std::lround(em * 64)));
  if (FT_Set_Char_Size(face, 0, em26, 72, 72) != 0) return nullptr;

  data->family = location.family;
  TextMetrics& m = data->metrics;
  const double scale = (static_cast<double>(em26) / 64.0) / upem;
  m.height = cell;
  m.ascent = ascent;
  m.descent = cell - ascent;
  m.internalLeading = std::max(0, cell - Round(static_cast<double>(em26) / 64.0));
  m.maxCharWidth = std::max(1, Round(face->max_advance_width * scale));
  m.weight = bold ? 700 : 400;
  m.charSet = FaceHasHebrew(face) ? kHebrewCharSet : kAnsiCharSet;
  if (os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0) {
    m.aveCharWidth = std::max(1, Round(os2->xAvgCharWidth * scale));
  } else {
    m.aveCharWidth = std::max(1, data->Get(u'x').advance);
  }
  data->underlinePosition = std::max(1, Round(-face->underline_position * scale));
  data->underlineThickness = std::max(1, Round(face->underline_thickness * scale));
  r.fonts.emplace(key, data);
  TrimFonts();
  return data;
}

std::shared_ptr<FontData> Resolve(const FontDescription& description) {
  const int height = std::clamp(description.height, -kMaxHeight, kMaxHeight);
  const int weight = description.weight == 0 ? 400 : description.weight;
  std::u16string face = description.faceName;
  // A face name ends at its first 0, as fixed-size name fields do.
  if (auto end = face.find(u'\0'); end != std::u16string::npos) face.resize(end);
  if (face.empty()) face = State().defaultFace;
  if (EqualsIgnoringCase(face, kTestFontFace)) return MakeTestFont(height, weight);
  const int cellOrEm = height == 0 ? kDefaultFontCellHeight : height;
  const bool bold = weight >= 600;
  for (const std::u16string& name : {face, std::u16string(kDefaultFontFace)}) {
    if (auto location = MatchFace(name, bold, description.italic)) {
      if (auto data = LoadRealFont(*location, cellOrEm, weight)) return data;
    }
  }
  // Nothing installed can be loaded: the built-in font keeps text visible.
  return MakeTestFont(height, weight);
}

// ---------------------------------------------------------------------------
// Drawing glyphs

inline Pixel Blend(Pixel dst, Pixel src, unsigned a) {
  if (a == 255) return src;
  const unsigned na = 255 - a;
  const unsigned r = (((src >> 16) & 0xFF) * a + ((dst >> 16) & 0xFF) * na + 127) / 255;
  const unsigned g = (((src >> 8) & 0xFF) * a + ((dst >> 8) & 0xFF) * na + 127) / 255;
  const unsigned b = ((src & 0xFF) * a + (dst & 0xFF) * na + 127) / 255;
  return (r << 16) | (g << 8) | b;
}

// Draws a glyph with its pen position at device x and baseline at device y.
void DrawGlyph(Surface& surface, const Rect& clip, const Glyph& g, long long penX, long long baseline,
               Pixel colour, bool mono) {
  if (g.width == 0) return;
  const long long gx = penX + g.left, gy = baseline - g.top;
  const long long x0 = std::max<long long>(gx, clip.left), x1 = std::min<long long>(gx + g.width, clip.right);
  const long long y0 = std::max<long long>(gy, clip.top), y1 = std::min<long long>(gy + g.height, clip.bottom);
  if (x0 >= x1 || y0 >= y1) return;
  for (long long y = y0; y < y1; ++y) {
    Pixel* out = surface.Row(static_cast<int>(y));
    const std::uint8_t* cov = g.coverage.data() + (y - gy) * g.width;
    for (long long x = x0; x < x1; ++x) {
      const unsigned a = cov[x - gx];
      if (a == 0) continue;
      if (mono) {
        if (a >= 128) out[x] = colour;
      } else {
        out[x] = Blend(out[x], colour, a);
      }
    }
  }
}

struct Ink {
  bool any = false;
  long long left = 0;
  long long right = 0;
};

// Draws `run` with its cell's top left at logical (x, y), clipped to `clip`
// (device coordinates, already within the context's clip).
void DrawRunAt(DrawContext& dc, FontData& font, long long x, long long y, std::u16string_view run,
               const Rect& clip, const GdiObject& fontObject) {
  if (clip.Empty() || !dc.surface) return;
  Surface& surface = *dc.surface;
  const long long left = x + dc.origin.x, top = y + dc.origin.y;
  const bool mono = dc.bitmap && dc.bitmap->monochrome;
  auto fix = [&](Pixel p) { return mono ? (p == 0xFFFFFF ? p : 0) : p; };
  long long extent = 0;
  for (char16_t cp : run) extent += font.Get(cp).advance;
  if (dc.bkMode == BkMode::Opaque && extent > 0) {
    const long long l = std::max<long long>(left, clip.left), r = std::min<long long>(left + extent, clip.right);
    const long long t = std::max<long long>(top, clip.top),
                    b = std::min<long long>(top + font.metrics.height, clip.bottom);
    if (l < r && t < b) {
      detail::FillDevice(surface, Rect{static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b)},
                         fix(PixelFromColor(dc.bkColor)));
    }
  }
  const Pixel colour = fix(PixelFromColor(dc.textColor));
  const long long baseline = top + font.metrics.ascent;
  long long pen = left;
  for (char16_t cp : run) {
    const Glyph& g = font.Get(cp);
    DrawGlyph(surface, clip, g, pen, baseline, colour, mono || font.test);
    pen += g.advance;
  }
  if (fontObject.description.underline && extent > 0) {
    const long long uy = baseline + (font.test ? 0 : font.underlinePosition);
    const long long l = std::max<long long>(left, clip.left), r = std::min<long long>(left + extent, clip.right);
    const long long t = std::max<long long>(uy, clip.top),
                    b = std::min<long long>(uy + font.underlineThickness, clip.bottom);
    if (l < r && t < b) {
      detail::FillDevice(surface, Rect{static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b)},
                         colour);
    }
  }
}

Ink InkOf(FontData& font, std::u16string_view run) {
  Ink ink;
  long long pen = 0;
  for (char16_t cp : run) {
    const Glyph& g = font.Get(cp);
    if (g.width > 0) {
      const long long l = pen + g.left, r = l + g.width;
      if (!ink.any) {
        ink = Ink{true, l, r};
      } else {
        ink.left = std::min(ink.left, l);
        ink.right = std::max(ink.right, r);
      }
    }
    pen += g.advance;
  }
  return ink;
}

FontData* FontOf(GdiObject& object) {
  Registry& r = State();
  if (!object.font || (object.stock && object.resolvedGeneration != r.generation)) {
    object.font = Resolve(object.description);
    object.resolvedGeneration = r.generation;
  }
  return object.font.get();
}

}  // namespace

namespace detail {

FontData* SelectedFont(DrawContext& dc) {
  if (!dc.font) return nullptr;
  return FontOf(*dc.font);
}

void InitStockFont(GdiObject& object) {
  object.description = FontDescription{};
  object.font = nullptr;  // resolved on first use
}

}  // namespace detail

// ---------------------------------------------------------------------------
// Public operations

HFont CreateFont(const FontDescription& description) {
  auto object = std::make_unique<GdiObject>();
  object->kind = ObjectKind::Font;
  object->description = description;
  object->font = Resolve(description);
  object->resolvedGeneration = State().generation;
  if (!object->font) return nullptr;
  return detail::AdoptObject(std::move(object));
}

void SetDefaultFontFace(std::u16string_view face) {
  Registry& r = State();
  r.defaultFace = face.empty() ? std::u16string(kDefaultFontFace) : std::u16string(face);
  ++r.generation;
}

bool GetTextMetrics(HDc handle, TextMetrics* metrics) {
  DrawContext* dc = detail::CheckDc(handle);
  if (!dc || !metrics) return false;
  FontData* font = detail::SelectedFont(*dc);
  if (!font) return false;
  *metrics = font->metrics;
  return true;
}

bool GetFontMetrics(HFont handle, TextMetrics* metrics) {
  GdiObject* object = detail::CheckObject(handle, ObjectKind::Font);
  if (!object || !metrics) return false;
  FontData* font = FontOf(*object);
  if (!font) return false;
  *metrics = font->metrics;
  return true;
}

std::u16string GetFontFaceName(HFont handle) {
  GdiObject* object = detail::CheckObject(handle, ObjectKind::Font);
  if (!object) return {};
  FontData* font = FontOf(*object);
  return font ? font->family : std::u16string();
}

int GetCharAdvance(HDc handle, char16_t codePoint) {
  DrawContext* dc = detail::CheckDc(handle);
  if (!dc) return 0;
  FontData* font = detail::SelectedFont(*dc);
  return font ? font->Get(codePoint).advance : 0;
}

TextFit MeasureText(HDc handle, std::u16string_view run, int maxExtent, std::span<int> partial) {
  TextFit result;
  DrawContext* dc = detail::CheckDc(handle);
  if (!dc) return result;
  FontData* font = detail::SelectedFont(*dc);
  if (!font) return result;
  result.height = font->metrics.height;
  long long sum = 0;
  bool fitting = true;
  const std::size_t partialCount = std::min(partial.size(), run.size());
  for (std::size_t i = 0; i < run.size(); ++i) {
    sum += font->Get(run[i]).advance;
    if (fitting && (maxExtent < 0 || sum <= maxExtent)) {
      result.fit = static_cast<int>(i + 1);
    } else {
      fitting = false;
    }
    if (i < partialCount) partial[i] = static_cast<int>(std::min<long long>(sum, 0x3FFFFFFF));
  }
  result.extent = static_cast<int>(std::min<long long>(sum, 0x3FFFFFFF));
  return result;
}

bool TextOut(HDc handle, int x, int y, std::u16string_view run) {
  DrawContext* dc = detail::CheckDc(handle);
  if (!dc) return false;
  FontData* font = detail::SelectedFont(*dc);
  if (!font) return false;
  DrawRunAt(*dc, *font, x, y, run, detail::DeviceClip(*dc), *dc->font);
  return true;
}

int DrawTextLine(HDc handle, std::u16string_view run, const Rect& rect, unsigned flags) {
  DrawContext* dc = detail::CheckDc(handle);
  if (!dc) return 0;
  FontData* font = detail::SelectedFont(*dc);
  if (!font) return 0;
  Rect clip = detail::DeviceClip(*dc);
  if (!(flags & kDtNoClip)) clip = detail::Intersect(clip, detail::ToDevice(*dc, rect));
  long long extent = 0;
  for (char16_t cp : run) extent += font->Get(cp).advance;
  const long long width = static_cast<long long>(rect.right) - rect.left;
  const long long height = static_cast<long long>(rect.bottom) - rect.top;
  long long x = rect.left;
  if (flags & kDtCenter) {
    if (extent == 0) {
      // A lone mark: centre its ink, not its (empty) advance.
      const Ink ink = InkOf(*font, run);
      if (ink.any) {
        x = rect.left + (width - (ink.right - ink.left)) / 2 - ink.left;
      } else {
        x = rect.left + width / 2;
      }
    } else {
      x = rect.left + (width - extent) / 2;
    }
  } else if (flags & kDtRight) {
    x = rect.right - extent;
  }
  long long y = rect.top;
  if (flags & kDtVCenter) {
    y = rect.top + (height - font->metrics.height) / 2;
  } else if (flags & kDtBottom) {
    y = rect.bottom - font->metrics.height;
  }
  DrawRunAt(*dc, *font, x, y, run, clip, *dc->font);
  return font->metrics.height;
}

// ---------------------------------------------------------------------------
// Families

namespace {

const std::vector<std::pair<FontFamily, TextMetrics>>& InstalledFamilies() {
  Registry& r = State();
  if (r.families) return *r.families;
  std::map<std::u16string, bool> hebrewByFamily;
  if (FontconfigReady()) {
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_CHARSET, FC_SCALABLE, nullptr);
    FcFontSet* set = pattern && objects ? FcFontList(nullptr, pattern, objects) : nullptr;
    for (int i = 0; set && i < set->nfont; ++i) {
      FcPattern* font = set->fonts[i];
      FcChar8* family = nullptr;
      if (FcPatternGetString(font, FC_FAMILY, 0, &family) != FcResultMatch || !family) continue;
      FcBool scalable = FcTrue;
      if (FcPatternGetBool(font, FC_SCALABLE, 0, &scalable) == FcResultMatch && !scalable) continue;
      bool hebrew = false;
      FcCharSet* charset = nullptr;
      if (FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) == FcResultMatch && charset) {
        hebrew = true;
        for (FcChar32 cp = kHebrewFirst; cp <= kHebrewLast && hebrew; ++cp) {
          hebrew = FcCharSetHasChar(charset, cp) != FcFalse;
        }
      }
      bool& entry = hebrewByFamily[Utf8ToUtf16(reinterpret_cast<const char*>(family))];
      entry = entry || hebrew;
    }
    if (set) FcFontSetDestroy(set);
    if (objects) FcObjectSetDestroy(objects);
    if (pattern) FcPatternDestroy(pattern);
  }
  std::vector<std::pair<FontFamily, TextMetrics>> list;
  for (const auto& [name, hebrew] : hebrewByFamily) {
    FontFamily family{name, hebrew ? kHebrewCharSet : kAnsiCharSet};
    TextMetrics metrics;
    if (auto location = MatchFace(name, false, false)) {
      if (auto data = LoadRealFont(*location, kDefaultFontCellHeight, 400)) metrics = data->metrics;
    }
    metrics.charSet = family.charSet;
    list.emplace_back(std::move(family), metrics);
  }
  r.families = std::move(list);
  return *r.families;
}

}  // namespace

std::vector<FontFamily> ListFontFamilies() {
  std::vector<FontFamily> list;
  if (State().listTestFont) list.push_back(FontFamily{std::u16string(kTestFontFace), kHebrewCharSet});
  for (const auto& entry : InstalledFamilies()) list.push_back(entry.first);
  return list;
}

int EnumFontFamilies(HDc, FontFamilyProc proc, LParam param) {
  if (!proc) return 0;
  std::vector<std::pair<FontFamily, TextMetrics>> list;
  if (State().listTestFont) {
    list.emplace_back(FontFamily{std::u16string(kTestFontFace), kHebrewCharSet},
                      MakeTestFont(0, 400)->metrics);
  }
  for (const auto& entry : InstalledFamilies()) list.push_back(entry);
  int result = 1;
  for (const auto& [family, metrics] : list) {
    FontDescription description;
    description.height = metrics.height;
    description.weight = 400;
    description.faceName = family.faceName;
    result = proc(description, metrics, 4, param);
    if (result == 0) break;
  }
  return result;
}

void SetTestFontEnumerated(bool listed) { State().listTestFont = listed; }

}  // namespace pf

// fontconfig keeps a few hundred bytes from parsing its configuration files
// without a pointer to them (a leak inside the library, once per process).
// The leak checker of sanitizer builds is told to ignore that library only.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
