#pragma once
// The LessonResource container: the head and trailer around a PalmDoc stream
// in which each lesson and the index are stored as RCDATA resources.
//
// Byte layout, all numbers big-endian:
//   0  2  containerLength  bytes after the first 6 (stored: packedLength + 8)
//   2  4  reserved         two 16-bit numbers, never read by the loader
//                          (lessons: n + 20 twice; the index: 1 and 255)
//   6  2  packedLength     stream length, not 0
//   8  2  plainLength      decompressed length, not 0
//  10  packedLength bytes  the stream
//   .. 4  trailer          four 0 bytes
//
// Pure code, shared by the program and the course compiler.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

constexpr std::size_t kLessonHeadSize = 10;     // bytes before the stream
constexpr std::size_t kLessonBodyOffset = 6;    // where UnpackContainer's body starts
constexpr std::size_t kLessonTrailerSize = 4;   // zero bytes after the stream
constexpr std::size_t kMaxPackedLength = 65535 - 8;  // containerLength is 16 bits
constexpr int kLessonCount = 245;
constexpr int kIndexLesson = 31767;             // asked for as a lesson number

// Resource number of lesson n: (n + 1000) mod 65536. Lesson 31767 is 32767.
constexpr unsigned LessonResourceNumber(int lesson) {
  return static_cast<unsigned>(lesson + 1000) & 0xFFFFu;
}

// The reserved words the shipped resources carry.
constexpr std::uint16_t LessonReserved(int lesson) {
  return static_cast<std::uint16_t>(lesson + 20);
}
constexpr std::uint16_t kIndexReserved1 = 1;
constexpr std::uint16_t kIndexReserved2 = 255;

// Writes a complete container around `packed`: containerLength = packed.size()
// + 8, the reserved words, packedLength, plainLength, the stream and the four 0
// bytes (packed.size() + 14 bytes in all). Returns an empty vector when
// `packed` is empty or longer than kMaxPackedLength, or plainLength is 0: such
// a container could not be loaded.
std::vector<std::uint8_t> BuildLessonResource(std::span<const std::uint8_t> packed,
                                              std::uint16_t plainLength,
                                              std::uint16_t reserved1,
                                              std::uint16_t reserved2);

// A container read back, for tools that list and dump a built course.
struct LessonContainer {
  std::uint16_t containerLength = 0;
  std::uint16_t reserved1 = 0;
  std::uint16_t reserved2 = 0;
  std::uint16_t packedLength = 0;
  std::uint16_t plainLength = 0;
  std::span<const std::uint8_t> stream;  // points into the parsed bytes
};

// Strict reading of a container as BuildLessonResource writes it: at least 14
// bytes, containerLength >= 5, packedLength and plainLength not 0, the stream
// and the trailer inside the bytes. Returns an empty string and fills `out` on
// success, else a short English description of the first fault. Does not check
// that containerLength is packedLength + 8 or that the trailer is zero; see
// `warnings` for those (may be null): faults the loader tolerates.
std::string ParseLessonResource(std::span<const std::uint8_t> bytes, LessonContainer* out,
                                std::string* warnings = nullptr);
