#pragma once
// The human-editable sources of a course: one UTF-8 file per lesson and one for
// the index, line based (resources/course/README.md describes the format).
//
// Lesson file: one paragraph per line,
//     STYLE [PARAM]: TEXT
// STYLE is a name (see kStyleNames) or a number (decimal or 0x hex, 1-255);
// PARAM a number 0-255, 0 when left out. After the colon one space, then the
// text to the end of the line (nothing after the colon: an empty text).
//
// Index file: one entry per line,
//     heading [level N] [style S]: TEXT    (id 0x8000 + 0x3FFE - its position)
//     lesson N [level N] [style S]: TEXT   (id 0x4000 + N)
//     entry ID [level N] [style S]: TEXT   (any other id)
// with the defaults level 1 and style 0x8C for a heading, level 2 and style
// 0x01 for a lesson, level 1 and style 0x01 for an entry.
//
// In both, blank lines and lines starting with "#" are skipped; a UTF-8 byte
// order mark at the start and a carriage return before a line feed are
// allowed. Parsing checks the syntax; what the texts may hold and the rules of
// a whole document are checked when they are compiled (course_documents.h).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace course {

// A fault in a source, formatted "FILE:LINE:COLUMN: MESSAGE" by Format().
struct SourceError {
  std::string file;
  int line = 0;    // 1-based; 0 when the fault is the file's as a whole
  int column = 0;  // 1-based code point; 0 when the fault is the line's
  std::string message;
  std::string Format() const;
};

struct NamedStyle {
  const char* name;
  std::uint8_t value;
};
// The named StyleByte values of lesson paragraphs.
extern const std::span<const NamedStyle> kStyleNames;

struct SourceParagraph {
  int line = 0;
  int textColumn = 0;  // column of the text's first character
  std::uint8_t style = 0;
  std::uint8_t param = 0;
  std::u32string text;
};

struct LessonSource {
  std::vector<SourceParagraph> paragraphs;
};

enum class IndexEntryKind { kHeading, kLesson, kEntry };

struct SourceIndexEntry {
  int line = 0;
  int textColumn = 0;
  IndexEntryKind kind = IndexEntryKind::kEntry;
  std::uint16_t number = 0;  // the lesson of kLesson, the raw id of kEntry
  std::uint8_t style = 0;
  std::uint8_t level = 0;
  std::u32string text;
};

struct IndexSource {
  std::vector<SourceIndexEntry> entries;
};

// Defaults of the index entry kinds.
constexpr std::uint8_t kHeadingStyle = 0x8C;
constexpr std::uint8_t kHeadingLevel = 1;
constexpr std::uint8_t kLessonEntryStyle = 0x01;
constexpr std::uint8_t kLessonEntryLevel = 2;
constexpr std::uint8_t kOtherEntryStyle = 0x01;
constexpr std::uint8_t kOtherEntryLevel = 1;

// Parse a whole file; on failure fill *error (its file is `fileName`).
bool ParseLessonSource(std::string_view fileName, std::string_view bytes, LessonSource* out,
                       SourceError* error);
bool ParseIndexSource(std::string_view fileName, std::string_view bytes, IndexSource* out,
                      SourceError* error);

// The source text of a lesson or an index, as a parse of it gives back; the
// canonical form the importer writes and a dump prints.
std::string WriteLessonSource(const LessonSource& lesson);
std::string WriteIndexSource(const IndexSource& index);

// "centre", "0x93": how a style is written.
std::string StyleName(std::uint8_t style);

}  // namespace course
