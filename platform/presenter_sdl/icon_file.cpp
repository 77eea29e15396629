// .ico parsing: the directory, then one bitmap entry with its AND mask.
#include "platform/presenter_sdl/icon_file.h"

#include <algorithm>
#include <cstddef>

namespace pf {

namespace {

std::uint32_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return U16(b, at) | (U16(b, at + 2) << 16);
}

struct Entry {
  std::size_t offset = 0;
  std::size_t size = 0;
  int area = 0;
  std::uint32_t bits = 0;
};

// One bitmap entry (a BITMAPINFOHEADER, palette, colour rows and mask rows).
std::optional<IconImage> DecodeEntry(std::span<const std::uint8_t> data) {
  if (data.size() < 40 || U32(data, 0) != 40) return std::nullopt;  // also rejects PNG entries
  const auto width = static_cast<std::int32_t>(U32(data, 4));
  const auto doubled = static_cast<std::int32_t>(U32(data, 8));
  const std::uint32_t bits = U16(data, 14);
  const std::uint32_t compression = U32(data, 16);
  std::uint32_t colours = U32(data, 32);
  if (width <= 0 || width > 256 || doubled <= 0 || doubled % 2 != 0 || doubled / 2 > 256) {
    return std::nullopt;
  }
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;
  if (compression != 0 && !(compression == 3 && bits == 32)) return std::nullopt;
  const int height = doubled / 2;
  std::size_t at = 40;
  if (compression == 3) at += 12;  // the three masks; 32-bit icons are always BGRA
  if (bits <= 8) {
    if (colours == 0 || colours > (1u << bits)) colours = 1u << bits;
  } else {
    colours = 0;
  }
  const std::size_t palette = at;
  at += static_cast<std::size_t>(colours) * 4;
  const std::size_t w = static_cast<std::size_t>(width);
  const std::size_t h = static_cast<std::size_t>(height);
  const std::size_t colourStride = (w * bits + 31) / 32 * 4;
  const std::size_t maskStride = (w + 31) / 32 * 4;
  const std::size_t colourRows = at;
  const std::size_t maskRows = colourRows + colourStride * h;
  if (maskRows > data.size()) return std::nullopt;
  // Some 32-bit icons omit the mask; every other kind must have it.
  const bool hasMask = maskRows + maskStride * h <= data.size();
  if (!hasMask && bits != 32) return std::nullopt;

  IconImage image;
  image.width = width;
  image.height = height;
  image.pixels.assign(w * h, 0);
  bool anyAlpha = false;
  for (std::size_t row = 0; row < h; ++row) {
    const std::size_t src = colourRows + (h - 1 - row) * colourStride;
    for (std::size_t x = 0; x < w; ++x) {
      std::uint32_t argb = 0;
      if (bits >= 24) {
        const std::size_t p = src + x * (bits / 8);
        const std::uint32_t alpha = bits == 32 ? data[p + 3] : 0xFFu;
        anyAlpha = anyAlpha || (bits == 32 && alpha != 0);
        argb = (alpha << 24) | (static_cast<std::uint32_t>(data[p + 2]) << 16) |
               (static_cast<std::uint32_t>(data[p + 1]) << 8) | data[p];
      } else {
        const std::size_t bit = x * bits;
        const std::uint32_t byte = data[src + bit / 8];
        const std::uint32_t index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        if (index < colours) {
          const std::size_t c = palette + index * 4;
          argb = 0xFF000000u | (static_cast<std::uint32_t>(data[c + 2]) << 16) |
                 (static_cast<std::uint32_t>(data[c + 1]) << 8) | data[c];
        }
      }
      image.pixels[row * w + x] = argb;
    }
  }
  if (bits == 32 && anyAlpha) return image;  // the alpha channel rules
  for (std::size_t row = 0; row < h; ++row) {
    const std::size_t src = maskRows + (h - 1 - row) * maskStride;
    for (std::size_t x = 0; x < w; ++x) {
      std::uint32_t& p = image.pixels[row * w + x];
      const bool transparent = hasMask && ((data[src + x / 8] >> (7 - x % 8)) & 1u) != 0;
      p = transparent ? 0u : (p | 0xFF000000u);
    }
  }
  return image;
}

}  // namespace

std::optional<IconImage> DecodeIconFile(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 6 || U16(bytes, 0) != 0 || U16(bytes, 2) != 1) return std::nullopt;
  const std::size_t count = U16(bytes, 4);
  if (bytes.size() < 6 + count * 16) return std::nullopt;
  std::vector<Entry> entries;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t e = 6 + i * 16;
    Entry entry;
    const int w = bytes[e] == 0 ? 256 : bytes[e];
    const int h = bytes[e + 1] == 0 ? 256 : bytes[e + 1];
    entry.area = w * h;
    entry.bits = U16(bytes, e + 6);
    entry.size = U32(bytes, e + 8);
    entry.offset = U32(bytes, e + 12);
    if (entry.offset > bytes.size() || entry.size > bytes.size() - entry.offset) continue;
    entries.push_back(entry);
  }
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.area != b.area ? a.area > b.area : a.bits > b.bits;
  });
  for (const Entry& entry : entries) {
    if (auto image = DecodeEntry(bytes.subspan(entry.offset, entry.size))) return image;
  }
  return std::nullopt;
}

}  // namespace pf
