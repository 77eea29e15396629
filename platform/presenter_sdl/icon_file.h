#pragma once
// Reading the program's icon resource (an .ico file) into pixels for the
// desktop window's icon. Only the classic device-independent-bitmap entries
// (1, 4, 8, 24 and 32 bits per pixel with their transparency mask) are read;
// PNG-compressed entries and anything damaged are skipped, so a bad icon
// means no icon, never a crash.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pf {

struct IconImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, rows top to bottom
};

// The largest readable image of the icon file (at most 256 x 256; the one
// with more bits per pixel among equals), or nothing.
std::optional<IconImage> DecodeIconFile(std::span<const std::uint8_t> bytes);

}  // namespace pf
