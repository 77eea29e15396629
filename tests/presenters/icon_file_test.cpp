// Reading the window icon: bitmap entries of each depth with their masks, the
// choice among entries, and damaged files that must give no icon.
#include "platform/presenter_sdl/icon_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace pf {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes* b, std::uint32_t v) {
  b->push_back(static_cast<std::uint8_t>(v));
  b->push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes* b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// One bitmap entry: header, palette, colour rows (bottom-up, as given) and
// mask rows.
Bytes Entry(int w, int h, int bits, const Bytes& palette, const Bytes& rows, const Bytes& mask) {
  Bytes b;
  Put32(&b, 40);
  Put32(&b, static_cast<std::uint32_t>(w));
  Put32(&b, static_cast<std::uint32_t>(h * 2));
  Put16(&b, 1);
  Put16(&b, static_cast<std::uint32_t>(bits));
  for (int i = 0; i < 6; ++i) Put32(&b, 0);
  b.insert(b.end(), palette.begin(), palette.end());
  b.insert(b.end(), rows.begin(), rows.end());
  b.insert(b.end(), mask.begin(), mask.end());
  return b;
}

struct Image {
  int w, h, bits;
  Bytes data;
};

Bytes IconFile(const std::vector<Image>& images) {
  Bytes b;
  Put16(&b, 0);
  Put16(&b, 1);
  Put16(&b, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (const Image& i : images) {
    b.push_back(static_cast<std::uint8_t>(i.w));
    b.push_back(static_cast<std::uint8_t>(i.h));
    b.push_back(0);
    b.push_back(0);
    Put16(&b, 1);
    Put16(&b, static_cast<std::uint32_t>(i.bits));
    Put32(&b, static_cast<std::uint32_t>(i.data.size()));
    Put32(&b, offset);
    offset += static_cast<std::uint32_t>(i.data.size());
  }
  for (const Image& i : images) b.insert(b.end(), i.data.begin(), i.data.end());
  return b;
}

// 2 x 2, 24 bits: bottom row blue, green; top row red, white. Rows padded to
// 8 bytes; mask rows 4 bytes, the top-right pixel transparent.
Bytes TwoByTwo24() {
  const Bytes rows = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0,  0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0};
  const Bytes mask = {0x00, 0, 0, 0, 0x40, 0, 0, 0};
  return Entry(2, 2, 24, {}, rows, mask);
}

TEST(IconFile, ReadsA24BitEntryWithItsMask) {
  const auto image = DecodeIconFile(IconFile({{2, 2, 24, TwoByTwo24()}}));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 2);
  EXPECT_EQ(image->height, 2);
  EXPECT_EQ(image->pixels, (std::vector<std::uint32_t>{0xFFFF0000u, 0u, 0xFF0000FFu, 0xFF00FF00u}));
}

TEST(IconFile, ReadsPaletteAndAlphaEntries) {
  // 1 bit: palette black, yellow; top row 1 0, bottom row 0 1.
  const Bytes palette = {0, 0, 0, 0, 0, 0xFF, 0xFF, 0};
  const auto mono = DecodeIconFile(IconFile(
      {{2, 2, 1, Entry(2, 2, 1, palette, {0x40, 0, 0, 0, 0x80, 0, 0, 0}, Bytes(8, 0))}}));
  ASSERT_TRUE(mono);
  EXPECT_EQ(mono->pixels, (std::vector<std::uint32_t>{0xFFFFFF00u, 0xFF000000u, 0xFF000000u, 0xFFFFFF00u}));

  // 32 bits with alpha: the alpha channel wins over the (absent) mask.
  const Bytes rows = {1, 2, 3, 0x80};
  const auto alpha = DecodeIconFile(IconFile({{1, 1, 32, Entry(1, 1, 32, {}, rows, {})}}));
  ASSERT_TRUE(alpha);
  EXPECT_EQ(alpha->pixels, (std::vector<std::uint32_t>{0x80030201u}));
}

TEST(IconFile, PicksTheLargestReadableEntry) {
  Bytes big = TwoByTwo24();
  Bytes png = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
  png.resize(64, 0);
  const auto image = DecodeIconFile(IconFile({{1, 1, 32, Entry(1, 1, 32, {}, {1, 2, 3, 0xFF}, {})},
                                              {2, 2, 24, big},
                                              {0, 0, 32, png}}));  // 256 x 256, but PNG
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 2);
}

Bytes Patched(Bytes bytes, std::size_t at, std::uint8_t value) {
  if (at < bytes.size()) bytes.begin()[static_cast<std::ptrdiff_t>(at)] = value;
  return bytes;
}

TEST(IconFile, DamagedFilesGiveNoIcon) {
  const Bytes good = IconFile({{2, 2, 24, TwoByTwo24()}});
  std::vector<Bytes> bad;
  bad.push_back({});
  bad.push_back({0, 0, 2, 0, 1, 0});                        // a cursor file
  bad.push_back(Bytes(good.begin(), good.begin() + 20));    // directory cut short
  bad.push_back(Bytes(good.begin(), good.end() - 3));       // mask cut short
  bad.push_back(Patched(good, 18, 0xFF));       // entry offset far past the end
  bad.push_back(Patched(good, 22 + 5, 0x7F));   // header width 0x7F02
  bad.push_back(Patched(good, 22 + 8, 3));      // odd doubled height
  bad.push_back(Patched(good, 22 + 14, 7));     // 7 bits per pixel
  for (std::size_t i = 0; i < bad.size(); ++i) EXPECT_FALSE(DecodeIconFile(bad[i])) << i;
}

TEST(IconFile, ReadsTheProgramsOwnIcon) {
  std::ifstream in(CORVELLA_PROGRAM_ICON, std::ios::binary);
  ASSERT_TRUE(in) << CORVELLA_PROGRAM_ICON;
  const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto image = DecodeIconFile(bytes);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 32);  // the larger of its two pictures
  EXPECT_EQ(image->height, 32);
  int opaque = 0;
  for (std::uint32_t p : image->pixels) opaque += (p >> 24) == 0xFF ? 1 : 0;
  EXPECT_GT(opaque, 0);
}

TEST(IconFile, EveryDamagedByteIsReadSafely) {
  // Each byte of a good two-entry file set to a few extreme values, and the
  // file cut at every length: decoding must never read outside the input
  // (the sanitizer build catches it) and what it returns must be whole.
  const Bytes palette = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};
  const Bytes good = IconFile({{2, 2, 24, TwoByTwo24()},
                               {2, 2, 1, Entry(2, 2, 1, palette, Bytes(8, 0x40), Bytes(8, 0))}});
  const auto check = [](const Bytes& bytes) {
    if (const auto image = DecodeIconFile(bytes)) {
      EXPECT_EQ(image->pixels.size(), static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height));
    }
  };
  for (std::size_t at = 0; at < good.size(); ++at) {
    for (std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0x7F}, std::uint8_t{0x80}, std::uint8_t{0xFF}}) {
      check(Patched(good, at, value));
    }
    check(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(at)));
  }
}

}  // namespace
}  // namespace pf
