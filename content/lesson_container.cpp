#include "content/lesson_container.h"

namespace {

std::uint16_t ReadBig16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

void WriteBig16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
}

}  // namespace

std::vector<std::uint8_t> BuildLessonResource(std::span<const std::uint8_t> packed,
                                              std::uint16_t plainLength,
                                              std::uint16_t reserved1,
                                              std::uint16_t reserved2) {
  std::vector<std::uint8_t> out;
  if (packed.empty() || packed.size() > kMaxPackedLength || plainLength == 0) return out;
  out.reserve(packed.size() + kLessonHeadSize + kLessonTrailerSize);
  WriteBig16(out, static_cast<std::uint16_t>(packed.size() + 8));
  WriteBig16(out, reserved1);
  WriteBig16(out, reserved2);
  WriteBig16(out, static_cast<std::uint16_t>(packed.size()));
  WriteBig16(out, plainLength);
  out.insert(out.end(), packed.begin(), packed.end());
  out.insert(out.end(), kLessonTrailerSize, 0);
  return out;
}

std::string ParseLessonResource(std::span<const std::uint8_t> bytes, LessonContainer* out,
                                std::string* warnings) {
  if (warnings) warnings->clear();
  if (bytes.size() < kLessonHeadSize + kLessonTrailerSize) {
    return "container shorter than 14 bytes (" + std::to_string(bytes.size()) + ")";
  }
  LessonContainer c;
  c.containerLength = ReadBig16(bytes, 0);
  c.reserved1 = ReadBig16(bytes, 2);
  c.reserved2 = ReadBig16(bytes, 4);
  c.packedLength = ReadBig16(bytes, 6);
  c.plainLength = ReadBig16(bytes, 8);
  if (c.containerLength < 5) {
    return "containerLength " + std::to_string(c.containerLength) + " is below 5";
  }
  if (c.packedLength == 0) return "packedLength is 0";
  if (c.plainLength == 0) return "plainLength is 0";
  const std::size_t needed = kLessonHeadSize + c.packedLength + kLessonTrailerSize;
  if (bytes.size() < needed) {
    return "packedLength " + std::to_string(c.packedLength) + " needs " + std::to_string(needed) +
           " bytes, container has " + std::to_string(bytes.size());
  }
  c.stream = bytes.subspan(kLessonHeadSize, c.packedLength);
  if (warnings) {
    if (c.containerLength != c.packedLength + 8) {
      *warnings += "containerLength " + std::to_string(c.containerLength) +
                   " is not packedLength + 8; ";
    }
    for (std::size_t k = 0; k < kLessonTrailerSize; ++k) {
      if (bytes[kLessonHeadSize + c.packedLength + k] != 0) {
        *warnings += "trailer is not zero; ";
        break;
      }
    }
    if (bytes.size() != needed) {
      *warnings += std::to_string(bytes.size() - needed) + " bytes after the trailer; ";
    }
  }
  if (out) *out = c;
  return {};
}
