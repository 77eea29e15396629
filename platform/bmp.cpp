// Decoding BMP files into bitmap objects. The bytes come from the program's
// resources but are checked as if they came from anywhere: every size, offset
// and count is validated before a byte is read, and all arithmetic on them is
// done in 64 bits.

#include <array>
#include <cstdint>
#include <new>

#include "platform/gdi_internal.h"

namespace pf::detail {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kMaxInfoHeaderSize = 124;  // the largest header version
constexpr std::uint32_t kCompressionNone = 0;

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Has(std::uint64_t offset, std::uint64_t count) const {
    return offset <= size_ && count <= size_ - offset;
  }
  std::uint16_t U16(std::size_t at) const {
    return static_cast<std::uint16_t>(data_[at] | (data_[at + 1] << 8));
  }
  std::uint32_t U32(std::size_t at) const {
    return static_cast<std::uint32_t>(data_[at]) | (static_cast<std::uint32_t>(data_[at + 1]) << 8) |
           (static_cast<std::uint32_t>(data_[at + 2]) << 16) |
           (static_cast<std::uint32_t>(data_[at + 3]) << 24);
  }
  std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
  const std::uint8_t* At(std::size_t at) const { return data_ + at; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

bool Bright(Pixel p) {
  const unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  return r * 299 + g * 587 + b * 114 >= 128 * 1000;
}

}  // namespace

std::unique_ptr<GdiObject> DecodeBmp(const std::uint8_t* data, std::size_t size) {
  if (!data) return nullptr;
  const Reader in(data, size);
  if (!in.Has(0, kFileHeaderSize + 4)) return nullptr;
  if (data[0] != 'B' || data[1] != 'M') return nullptr;
  const std::uint32_t pixelOffset = in.U32(10);
  const std::uint32_t headerSize = in.U32(kFileHeaderSize);

  long long width = 0, height = 0;
  unsigned planes = 0, bitsPerPixel = 0;
  std::uint32_t compression = kCompressionNone, colorsUsed = 0;
  std::size_t paletteEntrySize = 4;
  if (headerSize == kCoreHeaderSize) {
    if (!in.Has(kFileHeaderSize, kCoreHeaderSize)) return nullptr;
    width = in.U16(kFileHeaderSize + 4);
    height = in.U16(kFileHeaderSize + 6);
    planes = in.U16(kFileHeaderSize + 8);
    bitsPerPixel = in.U16(kFileHeaderSize + 10);
    paletteEntrySize = 3;
  } else if (headerSize >= kInfoHeaderSize && headerSize <= kMaxInfoHeaderSize) {
    if (!in.Has(kFileHeaderSize, headerSize)) return nullptr;
    width = in.I32(kFileHeaderSize + 4);
    height = in.I32(kFileHeaderSize + 8);
    planes = in.U16(kFileHeaderSize + 12);
    bitsPerPixel = in.U16(kFileHeaderSize + 14);
    compression = in.U32(kFileHeaderSize + 16);
    colorsUsed = in.U32(kFileHeaderSize + 32);
  } else {
    return nullptr;
  }
  if (planes != 1 || compression != kCompressionNone) return nullptr;
  if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24 &&
      bitsPerPixel != 32) {
    return nullptr;
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) return nullptr;

  // Palette: right after the header, before the pixels.
  std::array<Pixel, 256> palette{};
  std::uint64_t paletteCount = 0;
  if (bitsPerPixel <= 8) {
    const std::uint64_t maxColors = 1ULL << bitsPerPixel;
    paletteCount = colorsUsed == 0 ? maxColors : colorsUsed;
    if (paletteCount > maxColors) return nullptr;
  }
  const std::uint64_t paletteOffset = kFileHeaderSize + static_cast<std::uint64_t>(headerSize);
  const std::uint64_t paletteBytes = paletteCount * paletteEntrySize;
  if (!in.Has(paletteOffset, paletteBytes)) return nullptr;
  if (paletteOffset + paletteBytes > pixelOffset) return nullptr;
  for (std::uint64_t i = 0; i < paletteCount; ++i) {
    const std::size_t at = static_cast<std::size_t>(paletteOffset + i * paletteEntrySize);
    palette[i] = (static_cast<Pixel>(data[at + 2]) << 16) | (static_cast<Pixel>(data[at + 1]) << 8) |
                 data[at];
  }

  // Pixels: rows padded to 4 bytes.
  const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32) * 4;
  const std::uint64_t pixelBytes = stride * static_cast<std::uint64_t>(height);
  if (!in.Has(pixelOffset, pixelBytes)) return nullptr;

  auto object = std::unique_ptr<GdiObject>(new (std::nothrow) GdiObject);
  if (!object) return nullptr;
  object->kind = ObjectKind::Bitmap;
  object->bitsPerPixel = static_cast<int>(bitsPerPixel);
  object->monochrome = bitsPerPixel == 1;
  const int w = static_cast<int>(width), h = static_cast<int>(height);
  try {
    object->pixels = Surface(w, h);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (object->monochrome) {
    for (std::uint64_t i = 0; i < paletteCount; ++i) palette[i] = Bright(palette[i]) ? 0xFFFFFF : 0;
  }
  // An index beyond the palette shows black.
  auto colour = [&](unsigned index) -> Pixel { return index < paletteCount ? palette[index] : 0; };

  for (int row = 0; row < h; ++row) {
    const std::uint8_t* src = in.At(static_cast<std::size_t>(pixelOffset + stride * static_cast<std::uint64_t>(row)));
    Pixel* out = object->pixels.Row(topDown ? row : h - 1 - row);
    switch (bitsPerPixel) {
      case 1:
        for (int x = 0; x < w; ++x) out[x] = colour((src[x >> 3] >> (7 - (x & 7))) & 1u);
        break;
      case 4:
        for (int x = 0; x < w; ++x) out[x] = colour((src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu);
        break;
      case 8:
        for (int x = 0; x < w; ++x) out[x] = colour(src[x]);
        break;
      case 24:
        for (int x = 0; x < w; ++x) {
          const std::uint8_t* p = src + 3 * x;
          out[x] = (static_cast<Pixel>(p[2]) << 16) | (static_cast<Pixel>(p[1]) << 8) | p[0];
        }
        break;
      case 32:
        for (int x = 0; x < w; ++x) {
          const std::uint8_t* p = src + 4 * x;
          out[x] = (static_cast<Pixel>(p[2]) << 16) | (static_cast<Pixel>(p[1]) << 8) | p[0];
        }
        break;
      default:
        return nullptr;
    }
  }
  return object;
}

}  // namespace pf::detail
