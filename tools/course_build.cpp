#include "tools/course_build.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "content/article_document.h"
#include "content/lesson_container.h"
#include "content/palmdoc.h"
#include "tools/course_documents.h"
#include "tools/course_source.h"

namespace course {
namespace {

// "lesson-NNN.txt" -> NNN, or 0 when the name is not of that form.
int LessonNumberOf(const std::string& name) {
  if (name.size() != 14 || name.compare(0, 7, "lesson-") != 0 || name.compare(10, 4, ".txt") != 0) {
    return 0;
  }
  int number = 0;
  for (std::size_t i = 7; i < 10; ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    number = number * 10 + (name[i] - '0');
  }
  return number;
}

}  // namespace

std::string LessonFileName(int lesson) {
  char name[32];
  std::snprintf(name, sizeof name, "lesson-%03d.txt", lesson);
  return name;
}

bool PackDocument(std::span<const std::uint8_t> document, int lesson,
                  std::vector<std::uint8_t>* resource, std::size_t* packedLength,
                  std::string* error) {
  if (document.empty() || document.size() > kMaxDocumentSize) {
    *error = "a document must be 1 to " + std::to_string(kMaxDocumentSize) + " bytes long";
    return false;
  }
  const std::vector<std::uint8_t> packed = PalmDocCompress(document);
  // The compressor is ours, but what ships must decode: check it here.
  std::vector<std::uint8_t> check(document.size());
  const PalmDocDecodeResult decoded = PalmDocDecode(packed, check);
  if (!decoded.complete || decoded.consumed != packed.size() ||
      !std::equal(check.begin(), check.end(), document.begin())) {
    *error = "internal error: the compressed stream does not decode to the document";
    return false;
  }
  const bool isIndex = lesson == kIndexLesson;
  *resource = BuildLessonResource(packed, static_cast<std::uint16_t>(document.size()),
                                  isIndex ? kIndexReserved1 : LessonReserved(lesson),
                                  isIndex ? kIndexReserved2 : LessonReserved(lesson));
  if (resource->empty()) {
    *error = "the compressed stream (" + std::to_string(packed.size()) +
             " bytes) does not fit a container";
    return false;
  }
  *packedLength = packed.size();
  return true;
}

bool BuildCourse(const std::filesystem::path& folder, int lessonCount, BuiltCourse* out,
                 std::vector<std::string>* errors) {
  *out = BuiltCourse{};
  errors->clear();
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) {
    errors->push_back(folder.string() + ": not a folder");
    return false;
  }
  std::map<int, std::filesystem::path> lessons;
  bool haveIndex = false;
  for (const auto& item : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = item.path().filename().string();
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".txt") != 0) continue;
    if (name == kIndexFileName) {
      haveIndex = true;
      continue;
    }
    const int number = LessonNumberOf(name);
    if (number < 1 || number > lessonCount) {
      errors->push_back(item.path().string() + ": not a lesson of this course (lessons are " +
                        LessonFileName(1) + " to " + LessonFileName(lessonCount) +
                        ", the index is " + kIndexFileName + ")");
      continue;
    }
    lessons[number] = item.path();
  }
  if (ec) errors->push_back(folder.string() + ": cannot list: " + ec.message());
  if (static_cast<int>(lessons.size()) != lessonCount) {
    std::string missing;
    int shown = 0;
    for (int n = 1; n <= lessonCount; ++n) {
      if (lessons.count(n) != 0) continue;
      if (shown++ < 5) missing += (missing.empty() ? "" : ", ") + LessonFileName(n);
    }
    if (shown > 5) missing += " and " + std::to_string(shown - 5) + " more";
    errors->push_back(folder.string() + ": the course has " + std::to_string(lessons.size()) +
                      " lessons, it must have exactly " + std::to_string(lessonCount) +
                      "; missing: " + missing);
  }
  if (!haveIndex) errors->push_back(folder.string() + ": no " + kIndexFileName);
  if (!errors->empty()) return false;

  auto build = [&](const std::filesystem::path& path, int lesson) {
    std::string text;
    std::string error;
    if (!ReadFile(path, &text, &error)) {
      errors->push_back(error);
      return;
    }
    std::vector<std::uint8_t> document;
    SourceError sourceError;
    int records = 0;
    const std::string name = path.string();
    if (lesson == kIndexLesson) {
      IndexSource index;
      if (!ParseIndexSource(name, text, &index, &sourceError) ||
          !CompileIndex(name, index, lessonCount, &document, &out->drops, &sourceError)) {
        errors->push_back(sourceError.Format());
        return;
      }
      records = static_cast<int>(index.entries.size());
    } else {
      LessonSource source;
      if (!ParseLessonSource(name, text, &source, &sourceError) ||
          !CompileLesson(name, source, &document, &out->drops, &sourceError)) {
        errors->push_back(sourceError.Format());
        return;
      }
      records = static_cast<int>(source.paragraphs.size());
    }
    PackedResource resource;
    resource.number = static_cast<std::uint16_t>(LessonResourceNumber(lesson));
    std::size_t packedLength = 0;
    if (!PackDocument(document, lesson, &resource.bytes, &packedLength, &error)) {
      errors->push_back(name + ": " + error);
      return;
    }
    out->stats.push_back(DocumentStats{lesson, document.size(), packedLength, records});
    out->resources.push_back(std::move(resource));
  };
  for (const auto& [number, path] : lessons) build(path, number);
  build(folder / kIndexFileName, kIndexLesson);
  return errors->empty();
}

}  // namespace course
