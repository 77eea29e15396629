#pragma once
// Loading a lesson (or the index) from the program's resources: find the
// resource, check its container, decompress the PalmDoc stream into a new
// document buffer.
//
// Document buffers: a successful call returns a block of plainLength + 2 bytes
// from CheckedAlloc. Bytes 0 .. plainLength-1 are the document, bytes
// plainLength and plainLength+1 are 0. The caller owns the block and releases
// it with ReleaseBlock (DocumentBlock below does that for scoped use). A
// failing call returns null, leaves no block behind and, when `error` is not
// null, stores its code there:
//   1  no resource with the number (n + 1000) mod 65536
//   2  the resource is empty or cannot be read, or memory ran out
//   3  containerLength below 5, packedLength 0, or the resource too short to
//      hold the 10-byte head
//   4  plainLength 0, or no stream given
//   5  the stream ran out (or broke the scheme's limits) before plainLength
//      bytes were produced; the user has seen "UnCompress() buffer error!"
// `plainLength` (may be null) receives the document's length on success, so
// readers can bound their walks.
//
// GUI thread only; no state is kept between calls.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "content/lesson_container.h"

// Lesson n (1 to 245, or kIndexLesson for the index). n <= 0 returns null and
// stores no code.
std::uint8_t* LoadLessonDocument(int lesson, int* error = nullptr,
                                 std::uint16_t* plainLength = nullptr);

// `body` is the resource from offset 6 on, as far as the resource really goes
// (at least the 4 bytes packedLength and plainLength, else code 3);
// `containerLength` is the number from the head. The stream is the body from
// offset 4, packedLength bytes, cut at the end of `body`: a stream that claims
// more bytes than the resource holds runs out there (code 5 if the output is
// not full by then).
std::uint8_t* UnpackContainer(std::span<const std::uint8_t> body, std::uint16_t containerLength,
                              int* error = nullptr, std::uint16_t* plainLength = nullptr);

// Decompresses `stream` (packedLength = stream.size()) into a new document of
// `plainLength` + 2 bytes. A null stream.data() counts as "no stream" (code 4).
std::uint8_t* UnCompress(std::span<const std::uint8_t> stream, std::uint16_t plainLength,
                         int* error = nullptr);

// Scoped ownership of a document block, for callers that do not hand it on.
struct DocumentBlockRelease {
  void operator()(std::uint8_t* block) const;
};
using DocumentBlock = std::unique_ptr<std::uint8_t, DocumentBlockRelease>;
