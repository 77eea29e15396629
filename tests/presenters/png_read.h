#pragma once
// Reads a PNG file written by the presenters back into 0x00RRGGBB pixels, for
// the tests' checks.

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace presenter_test {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  }
};

// False when the file cannot be read as PNG.
inline bool ReadPng(const std::string& path, Picture* out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return false;
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0) return false;
  out->width = static_cast<int>(image.width);
  out->height = static_cast<int>(image.height);
  out->pixels.resize(static_cast<std::size_t>(image.width) * image.height);
  for (std::size_t i = 0; i < out->pixels.size(); ++i) {
    out->pixels[i] = (std::uint32_t{rgb[i * 3]} << 16) | (std::uint32_t{rgb[i * 3 + 1]} << 8) | rgb[i * 3 + 2];
  }
  return true;
}

}  // namespace presenter_test
