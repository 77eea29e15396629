#pragma once
// A built course on disk, and writing outputs safely.
//
// The course pack is what `corvella-course build --pack` writes and `list` and
// `dump` read: the resources exactly as the program carries them.
//   "CVCOURSE" (8 bytes), count (u16 little-endian), then per resource:
//   number (u16 LE), length (u32 LE), the bytes.
// The generated C++ source (`--cpp`) defines the same resources as constant
// arrays and the function CourseRcData() (resources/course_data.h).

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace course {

struct PackedResource {
  std::uint16_t number = 0;
  std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> WritePack(std::span<const PackedResource> resources);
// False with *error on a damaged or truncated pack.
bool ReadPack(std::span<const std::uint8_t> bytes, std::vector<PackedResource>* out,
              std::string* error);

std::string WriteCppSource(std::span<const PackedResource> resources, std::string_view origin);

// Reads a whole file; false with *error.
bool ReadFile(const std::filesystem::path& path, std::string* out, std::string* error);

// Writes `bytes` to a temporary file beside `path`, flushes it to disk and
// renames it over `path`: readers see the old file or the new one, never a
// part. On failure the temporary file is removed and `path` is untouched.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error);

}  // namespace course
