#include "content/lesson_resource.h"

#include <algorithm>

#include "app/app_state.h"
#include "content/broken_stream_message.h"
#include "content/palmdoc.h"
#include "platform/resource.h"

namespace {

void SetError(int* error, int code) {
  if (error != nullptr) *error = code;
}

}  // namespace

void DocumentBlockRelease::operator()(std::uint8_t* block) const { ReleaseBlock(block); }

std::uint8_t* LoadLessonDocument(int lesson, int* error, std::uint16_t* plainLength) {
  if (lesson <= 0) return nullptr;
  const pf::BinaryResource* resource = pf::FindRcData(LessonResourceNumber(lesson));
  if (resource == nullptr) {
    SetError(error, 1);
    return nullptr;
  }
  const std::span<const std::uint8_t> bytes = resource->bytes;
  if (bytes.empty() || bytes.data() == nullptr) {
    SetError(error, 2);
    return nullptr;
  }
  // The head must be there before anything in it is read.
  if (bytes.size() < kLessonHeadSize) {
    SetError(error, 3);
    return nullptr;
  }
  const auto containerLength = static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1]);
  return UnpackContainer(bytes.subspan(kLessonBodyOffset), containerLength, error, plainLength);
}

std::uint8_t* UnpackContainer(std::span<const std::uint8_t> body, std::uint16_t containerLength,
                              int* error, std::uint16_t* plainLength) {
  if (containerLength < 5 || body.size() < 4) {
    SetError(error, 3);
    return nullptr;
  }
  const auto packed = static_cast<std::size_t>((body[0] << 8) | body[1]);
  if (packed == 0) {
    SetError(error, 3);
    return nullptr;
  }
  const auto plain = static_cast<std::uint16_t>((body[2] << 8) | body[3]);
  // The stream never reaches past the resource, whatever packedLength says.
  const std::span<const std::uint8_t> stream =
      body.subspan(4, std::min(packed, body.size() - 4));
  std::uint8_t* document = UnCompress(stream, plain, error);
  if (document != nullptr && plainLength != nullptr) *plainLength = plain;
  return document;
}

std::uint8_t* UnCompress(std::span<const std::uint8_t> stream, std::uint16_t plainLength,
                         int* error) {
  if (plainLength == 0 || stream.data() == nullptr) {
    SetError(error, 4);
    return nullptr;
  }
  auto* document = static_cast<std::uint8_t*>(CheckedAlloc(std::size_t{plainLength} + 2));
  if (document == nullptr) {
    SetError(error, 2);
    return nullptr;
  }
  const PalmDocDecodeResult result = PalmDocDecode(stream, {document, plainLength});
  if (!result.complete) {
    ReleaseBlock(document);
    ShowBrokenStreamMessage();
    SetError(error, 5);
    return nullptr;
  }
  document[plainLength] = 0;
  document[plainLength + 1] = 0;
  return document;
}
