#include "tools/course_documents.h"

#include "content/article_document.h"
#include "tools/course_bidi.h"

namespace course {
namespace {

// The stored bytes of one paragraph's text.
bool StoreText(std::string_view fileName, int line, int column, const std::u32string& text,
               bool rightToLeft, std::string* stored, DropCounts* drops, SourceError* error) {
  std::vector<BookCluster> clusters;
  auto fail = [&](const TextError& textError) {
    *error = SourceError{std::string(fileName), line, textError.column, textError.message};
    return false;
  };
  if (auto textError = TextToClusters(text, rightToLeft, column, &clusters, drops)) {
    return fail(*textError);
  }
  if (rightToLeft) {
    if (auto textError = StoreRightToLeft(clusters, stored)) return fail(*textError);
  } else {
    stored->clear();
    for (const BookCluster& cluster : clusters) *stored += cluster.bytes;
  }
  return true;
}

std::u32string TextOf(std::span<const std::uint8_t> bytes, bool rightToLeft, bool* faithful) {
  std::string stored(bytes.begin(), bytes.end());
  if (rightToLeft) return StoredRightToLeftToText(stored, faithful);
  std::u32string text;
  for (std::uint8_t b : bytes) {
    if (b < 0x20 || b > 0x7E) {
      *faithful = false;
      text.push_back(0xFFFD);
    } else {
      text.push_back(b);
    }
  }
  return text;
}

void Warn(std::string* problem, const std::string& what) {
  if (!problem->empty()) *problem += '\n';
  *problem += what;
}

}  // namespace

bool CompileLesson(std::string_view fileName, const LessonSource& lesson,
                   std::vector<std::uint8_t>* document, DropCounts* drops, SourceError* error) {
  document->clear();
  if (lesson.paragraphs.empty()) {
    *error = SourceError{std::string(fileName), 0, 0, "the lesson has no paragraph"};
    return false;
  }
  bool first = true;
  for (const SourceParagraph& paragraph : lesson.paragraphs) {
    std::string stored;
    if (!StoreText(fileName, paragraph.line, paragraph.textColumn, paragraph.text,
                   (paragraph.style & kStyleRightToLeft) != 0, &stored, drops, error)) {
      return false;
    }
    const bool separator = IsSeparatorStyle(paragraph.style);
    if (separator && paragraph.param == 0 && !stored.empty()) {
      *error = SourceError{std::string(fileName), paragraph.line, paragraph.textColumn,
                           "a separator with param 0 takes no text"};
      return false;
    }
    if (first && !separator && stored.empty()) {
      *error = SourceError{std::string(fileName), paragraph.line, 0,
                           "the first paragraph must have a text (or be a separator): the "
                           "reader refuses a lesson that starts with an empty paragraph"};
      return false;
    }
    first = false;
    document->push_back(paragraph.style);
    document->push_back(paragraph.param);
    document->insert(document->end(), stored.begin(), stored.end());
    document->push_back(0);
    if (document->size() + 3 > kMaxDocumentSize) {
      *error = SourceError{std::string(fileName), paragraph.line, 0,
                           "the lesson grows past " + std::to_string(kMaxDocumentSize) +
                               " bytes here; a document must stay below 64 KB"};
      return false;
    }
  }
  document->insert(document->end(), {0, 0, 0});
  return true;
}

bool CompileIndex(std::string_view fileName, const IndexSource& index, int lessonCount,
                  std::vector<std::uint8_t>* document, DropCounts* drops, SourceError* error) {
  document->clear();
  auto fail = [&](int line, int column, std::string message) {
    *error = SourceError{std::string(fileName), line, column, std::move(message)};
    return false;
  };
  if (index.entries.empty()) return fail(0, 0, "the index has no entry");
  if (index.entries.size() >= 0x3FFE) {
    return fail(0, 0, "the index has " + std::to_string(index.entries.size()) +
                          " entries; headings are numbered by position, so at most 16381");
  }
  for (std::size_t position = 0; position < index.entries.size(); ++position) {
    const SourceIndexEntry& entry = index.entries[position];
    std::string stored;
    if (!StoreText(fileName, entry.line, entry.textColumn, entry.text, true, &stored, drops,
                   error)) {
      return false;
    }
    if (stored.empty()) return fail(entry.line, 0, "an index entry needs a text");
    std::uint16_t id = entry.number;
    switch (entry.kind) {
      case IndexEntryKind::kHeading: {
        id = HeadingId(position);
        const bool deeper = position + 1 < index.entries.size() &&
                            index.entries[position + 1].level > entry.level;
        if (!deeper) {
          return fail(entry.line, 0,
                      "a heading must be followed by an entry of a deeper level (its section)");
        }
        break;
      }
      case IndexEntryKind::kLesson:
        if (entry.number < 1 || entry.number > lessonCount) {
          return fail(entry.line, 0, "lesson " + std::to_string(entry.number) +
                                         " is not in the course (1 to " +
                                         std::to_string(lessonCount) + ")");
        }
        id = static_cast<std::uint16_t>(kIndexIdLink | entry.number);
        break;
      case IndexEntryKind::kEntry:
        break;
    }
    document->push_back(static_cast<std::uint8_t>(id & 0xFF));
    document->push_back(static_cast<std::uint8_t>(id >> 8));
    document->push_back(entry.style);
    document->push_back(entry.level);
    document->insert(document->end(), stored.begin(), stored.end());
    document->push_back(0);
    if (document->size() + 5 > kMaxDocumentSize) {
      return fail(entry.line, 0, "the index grows past " + std::to_string(kMaxDocumentSize) +
                                     " bytes here; a document must stay below 64 KB");
    }
  }
  document->insert(document->end(), {0, 0, 0, 0, 0});
  return true;
}

bool DecompileLesson(std::span<const std::uint8_t> document, LessonSource* out,
                     std::string* problem) {
  out->paragraphs.clear();
  problem->clear();
  int number = 0;
  const std::size_t end = ForEachParagraph(document, [&](const ParagraphRecord& record) {
    ++number;
    SourceParagraph paragraph;
    paragraph.style = record.style;
    paragraph.param = record.param;
    bool faithful = true;
    paragraph.text = TextOf(document.subspan(record.textOffset, record.textLength),
                            (record.style & kStyleRightToLeft) != 0, &faithful);
    if (!faithful) {
      Warn(problem, "paragraph " + std::to_string(number) +
                        ": its text cannot be written back exactly as a source");
    }
    out->paragraphs.push_back(std::move(paragraph));
    return true;
  });
  if (end >= document.size() || document[end] != 0) {
    Warn(problem, "the document has no terminator inside its bytes");
    return false;
  }
  return true;
}

bool DecompileIndex(std::span<const std::uint8_t> document, IndexSource* out,
                    std::string* problem) {
  out->entries.clear();
  problem->clear();
  std::size_t position = 0;
  const std::size_t end = ForEachIndexRecord(document, [&](const IndexRecord& record) {
    SourceIndexEntry entry;
    entry.style = record.style;
    entry.level = record.level;
    if (record.id == HeadingId(position)) {
      entry.kind = IndexEntryKind::kHeading;
    } else if ((record.id & 0xC000) == kIndexIdLink && (record.id & kIndexIdNumberMask) != 0) {
      entry.kind = IndexEntryKind::kLesson;
      entry.number = static_cast<std::uint16_t>(record.id & kIndexIdNumberMask);
    } else {
      entry.kind = IndexEntryKind::kEntry;
      entry.number = record.id;
    }
    bool faithful = true;
    entry.text = TextOf(document.subspan(record.textOffset, record.textLength), true, &faithful);
    if (!faithful) {
      Warn(problem, "entry " + std::to_string(position + 1) +
                        ": its text cannot be written back exactly as a source");
    }
    out->entries.push_back(std::move(entry));
    ++position;
    return true;
  });
  if (end + 2 >= document.size() || document[end + 2] != 0) {
    Warn(problem, "the index has no terminator inside its bytes");
    return false;
  }
  return true;
}

}  // namespace course
