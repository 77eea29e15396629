#include "content/article_document.h"

#include <cstring>

namespace {

// Length of the 0-terminated text at `at`, or false when no 0 byte follows
// inside `document`.
bool TextLength(std::span<const std::uint8_t> document, std::size_t at, std::size_t* length) {
  if (at >= document.size()) return false;
  const void* end = std::memchr(document.data() + at, 0, document.size() - at);
  if (end == nullptr) return false;
  *length = static_cast<std::size_t>(static_cast<const std::uint8_t*>(end) - (document.data() + at));
  return true;
}

}  // namespace

bool ReadParagraph(std::span<const std::uint8_t> document, std::size_t offset,
                   ParagraphRecord* out) {
  if (offset >= document.size() || document[offset] == 0) return false;
  if (document.size() - offset < 2) return false;
  ParagraphRecord r;
  r.offset = offset;
  r.style = document[offset];
  r.param = document[offset + 1];
  r.textOffset = offset + 2;
  if (!TextLength(document, r.textOffset, &r.textLength)) return false;
  r.next = r.textOffset + r.textLength + 1;
  *out = r;
  return true;
}

bool ReadIndexRecord(std::span<const std::uint8_t> document, std::size_t offset,
                     IndexRecord* out) {
  if (offset >= document.size() || document.size() - offset < 4) return false;
  IndexRecord r;
  r.offset = offset;
  r.id = static_cast<std::uint16_t>(document[offset] | (document[offset + 1] << 8));
  r.style = document[offset + 2];
  if (r.style == 0) return false;
  r.level = document[offset + 3];
  r.textOffset = offset + 4;
  if (!TextLength(document, r.textOffset, &r.textLength)) return false;
  r.next = r.textOffset + r.textLength + 1;
  *out = r;
  return true;
}
