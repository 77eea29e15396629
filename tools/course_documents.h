#pragma once
// Compiling parsed sources into the documents the program reads (an
// ArticleDocument per lesson, the IndexDocument), and turning documents back
// into sources for a dump.
//
// A compiled lesson is its Paragraph records followed by three 0 bytes; the
// index is its IndexEntry records followed by the five-byte terminator. Every
// rule the program relies on is checked here, with the source line it comes
// from:
//   - a document is at most 65535 bytes (its length is held in 16 bits);
//   - a lesson has a first record that layout accepts: a text that is not
//     empty once converted, or a separator; a separator with param 0 has no
//     text (layout takes such a record to be 3 bytes long);
//   - every index entry has a text that is not empty once converted; a lesson
//     link names a lesson of the course; a heading is followed by an entry of
//     a deeper level (opening and closing sections rely on it); headings get
//     the id 0x8000 + (0x3FFE - position), so the index holds fewer than 0x3FFE
//     entries.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/course_source.h"
#include "tools/course_text.h"

namespace course {

constexpr std::size_t kMaxDocumentSize = 65535;

bool CompileLesson(std::string_view fileName, const LessonSource& lesson,
                   std::vector<std::uint8_t>* document, DropCounts* drops, SourceError* error);

bool CompileIndex(std::string_view fileName, const IndexSource& index, int lessonCount,
                  std::vector<std::uint8_t>* document, DropCounts* drops, SourceError* error);

// The paragraphs of a document, for a dump. Returns false when the document is
// not well formed (no terminator inside it), with *problem describing it;
// paragraphs whose text a source could not give back are listed in *problem
// as warnings ("paragraph 3: ...") while the result is still true.
bool DecompileLesson(std::span<const std::uint8_t> document, LessonSource* out,
                     std::string* problem);
bool DecompileIndex(std::span<const std::uint8_t> document, IndexSource* out,
                    std::string* problem);

// The heading id of the index record at `position` (counted from 0).
constexpr std::uint16_t HeadingId(std::size_t position) {
  return static_cast<std::uint16_t>(0x8000u | (0x3FFEu - position));
}

}  // namespace course
