// Bitmaps from BMP bytes: the formats the resources use, and damaged data.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/gdi.h"
#include "platform/resource.h"

namespace pf {
namespace {

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A BMP file: `pixels` are palette indices (or 0x00RRGGBB for 24 bits), given
// top row first whatever the storage order.
std::vector<std::uint8_t> MakeBmp(int w, int h, int bpp, const std::vector<Pixel>& palette,
                                  const std::vector<Pixel>& pixels, bool topDown = false) {
  const std::size_t stride = ((static_cast<std::size_t>(w) * static_cast<std::size_t>(bpp) + 31) / 32) * 4;
  const std::size_t offset = 14 + 40 + palette.size() * 4;
  std::vector<std::uint8_t> b(offset + stride * static_cast<std::size_t>(h), 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<std::uint32_t>(b.size()));
  Put32(b, 10, static_cast<std::uint32_t>(offset));
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<std::uint32_t>(w));
  Put32(b, 22, static_cast<std::uint32_t>(topDown ? -h : h));
  Put16(b, 26, 1);
  Put16(b, 28, static_cast<std::uint32_t>(bpp));
  Put32(b, 46, static_cast<std::uint32_t>(palette.size()));
  for (std::size_t i = 0; i < palette.size(); ++i) {
    b[54 + 4 * i] = static_cast<std::uint8_t>(palette[i]);
    b[55 + 4 * i] = static_cast<std::uint8_t>(palette[i] >> 8);
    b[56 + 4 * i] = static_cast<std::uint8_t>(palette[i] >> 16);
  }
  for (int y = 0; y < h; ++y) {
    const std::size_t row = offset + stride * static_cast<std::size_t>(topDown ? y : h - 1 - y);
    for (int x = 0; x < w; ++x) {
      const Pixel v = pixels[static_cast<std::size_t>(y * w + x)];
      switch (bpp) {
        case 1: b[row + static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>((v & 1) << (7 - x % 8)); break;
        case 4: b[row + static_cast<std::size_t>(x / 2)] |= static_cast<std::uint8_t>((v & 15) << (x % 2 ? 0 : 4)); break;
        case 8: b[row + static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(v); break;
        case 24:
          b[row + 3 * static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(v);
          b[row + 3 * static_cast<std::size_t>(x) + 1] = static_cast<std::uint8_t>(v >> 8);
          b[row + 3 * static_cast<std::size_t>(x) + 2] = static_cast<std::uint8_t>(v >> 16);
          break;
      }
    }
  }
  return b;
}

std::vector<Pixel> PixelsOf(HBitmap bitmap) {
  const Surface* s = GetBitmapSurface(bitmap);
  if (!s) return {};
  return std::vector<Pixel>(s->Pixels().begin(), s->Pixels().end());
}

TEST(Bmp, DecodesEachDepthInBothRowOrders) {
  const std::vector<Pixel> pal16{0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                 0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  // 3 x 2 pictures, top row first.
  const std::vector<Pixel> indices{9, 10, 12, 15, 0, 7};
  const std::vector<Pixel> colours{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0xC0C0C0};
  struct Case {
    int bpp;
    bool topDown;
  };
  for (Case c : {Case{4, false}, Case{4, true}, Case{8, false}, Case{24, false}, Case{24, true}}) {
    const auto bytes = c.bpp == 24 ? MakeBmp(3, 2, 24, {}, colours, c.topDown)
                                   : MakeBmp(3, 2, c.bpp, pal16, indices, c.topDown);
    HBitmap bitmap = CreateBitmapFromBmp(bytes);
    ASSERT_NE(bitmap, nullptr) << c.bpp << " " << c.topDown;
    EXPECT_EQ(PixelsOf(bitmap), colours) << c.bpp << " " << c.topDown;
    BitmapInfo info;
    ASSERT_TRUE(GetBitmapInfo(bitmap, &info));
    EXPECT_EQ(info.width, 3);
    EXPECT_EQ(info.height, 2);
    EXPECT_EQ(info.bitsPerPixel, c.bpp);
    EXPECT_FALSE(info.monochrome);
    DeleteObject(bitmap);
  }
}

TEST(Bmp, OneBitIsMonochromeByPaletteBrightness) {
  // A palette of dark blue and light yellow: index 0 is black, 1 is white.
  const auto bytes = MakeBmp(9, 2, 1, {0x000040, 0xFFFFC0},
                             {1, 0, 1, 0, 1, 0, 1, 0, 1,  //
                              0, 0, 0, 0, 0, 0, 0, 0, 1});
  HBitmap bitmap = CreateBitmapFromBmp(bytes);
  ASSERT_NE(bitmap, nullptr);
  BitmapInfo info;
  ASSERT_TRUE(GetBitmapInfo(bitmap, &info));
  EXPECT_TRUE(info.monochrome);
  const auto p = PixelsOf(bitmap);
  EXPECT_EQ(p[0], 0xFFFFFFu);
  EXPECT_EQ(p[1], 0x000000u);
  EXPECT_EQ(p[8], 0xFFFFFFu);
  EXPECT_EQ(p[9], 0x000000u);
  EXPECT_EQ(p[17], 0xFFFFFFu);
  DeleteObject(bitmap);
}

TEST(Bmp, LoadsFromTheResourceTables) {
  static const auto bytes = MakeBmp(1, 1, 24, {}, {0x123456});
  static const BinaryResource bitmaps[] = {{201, bytes}};
  static const ResourceTables tables = [] {
    ResourceTables t{};
    t.bitmaps = bitmaps;
    return t;
  }();
  InstallResources(&tables);
  HBitmap bitmap = LoadBitmapResource(201);
  EXPECT_EQ(PixelsOf(bitmap), std::vector<Pixel>{0x123456});
  EXPECT_EQ(LoadBitmapResource(202), nullptr);
  DeleteObject(bitmap);
  InstallResources(nullptr);
}

TEST(Bmp, DamagedDataGivesNull) {
  const auto good = MakeBmp(4, 3, 4, std::vector<Pixel>(16, 0x808080), std::vector<Pixel>(12, 1));
  HBitmap intact = CreateBitmapFromBmp(good);
  ASSERT_NE(intact, nullptr);
  DeleteObject(intact);
  struct Case {
    const char* what;
    std::size_t at;  // where to patch; SIZE_MAX: truncate to `value` bytes
    int width;       // 2 or 4 bytes written
    std::uint32_t value;
  };
  constexpr std::size_t kTruncate = SIZE_MAX;
  const Case cases[] = {
      {"not BM", 0, 2, 0x4D42 + 1},
      {"empty", kTruncate, 0, 0},
      {"file header only", kTruncate, 0, 14},
      {"header cut short", kTruncate, 0, 30},
      {"pixels cut short", kTruncate, 0, static_cast<std::uint32_t>(good.size() - 1)},
      {"header size 0", 14, 4, 0},
      {"header size 13", 14, 4, 13},
      {"header size huge", 14, 4, 0xFFFFFFF0u},
      {"width 0", 18, 4, 0},
      {"width negative", 18, 4, 0xFFFFFFFFu},
      {"width too large", 18, 4, 100000},
      {"width overflow", 18, 4, 0x7FFFFFFFu},
      {"height 0", 22, 4, 0},
      {"height most negative", 22, 4, 0x80000000u},
      {"planes 2", 26, 2, 2},
      {"bits 2", 28, 2, 2},
      {"bits 16", 28, 2, 16},
      {"bits 0", 28, 2, 0},
      {"compressed", 30, 4, 2},
      {"palette larger than the depth allows", 46, 4, 17},
      {"palette count huge", 46, 4, 0x40000000u},
      {"pixel offset inside the palette", 10, 4, 60},
      {"pixel offset past the end", 10, 4, 0xFFFFFFF0u},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bytes = good;
    if (c.at == kTruncate) {
      bytes.resize(c.value);
    } else if (c.width == 2) {
      Put16(bytes, c.at, c.value);
    } else {
      Put32(bytes, c.at, c.value);
    }
    HBitmap bitmap = CreateBitmapFromBmp(bytes);
    EXPECT_EQ(bitmap, nullptr) << c.what;
    DeleteObject(bitmap);
  }
  EXPECT_EQ(CreateBitmapFromBmp({}), nullptr);
}

TEST(Bmp, IndexBeyondTheUsedPaletteShowsBlack) {
  const auto bytes = MakeBmp(2, 1, 4, {0xFFFFFF, 0xFF0000}, {1, 7});
  HBitmap bitmap = CreateBitmapFromBmp(bytes);
  EXPECT_EQ(PixelsOf(bitmap), (std::vector<Pixel>{0xFF0000, 0x000000}));
  DeleteObject(bitmap);
}

}  // namespace
}  // namespace pf
