#pragma once
// Building a whole course: read the sources of a course folder, compile every
// document, compress it and wrap it in its LessonResource container.
//
// A course folder holds lesson-001.txt to lesson-NNN.txt (three digits, one
// file per lesson, every number from 1 to the course's lesson count) and
// index.txt; other files that end in .txt are refused as likely typos, files
// with other endings (README.md) are left alone.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/course_pack.h"
#include "tools/course_text.h"

namespace course {

struct DocumentStats {
  int lesson = 0;  // 1..245, or kIndexLesson for the index
  std::size_t plainLength = 0;
  std::size_t packedLength = 0;
  int records = 0;  // paragraphs, or index entries
};

struct BuiltCourse {
  std::vector<PackedResource> resources;  // lessons 1..n in order, then the index
  std::vector<DocumentStats> stats;       // in the same order
  DropCounts drops;
};

// Compiles one document's bytes into its container (compress, wrap).
// `lesson` chooses the reserved words. False with *error when the document is
// empty or cannot be held by a container.
bool PackDocument(std::span<const std::uint8_t> document, int lesson,
                  std::vector<std::uint8_t>* resource, std::size_t* packedLength,
                  std::string* error);

// Builds the course in `folder` with exactly `lessonCount` lessons. On failure
// returns false with every fault found in `errors` (one per file at most).
bool BuildCourse(const std::filesystem::path& folder, int lessonCount, BuiltCourse* out,
                 std::vector<std::string>* errors);

std::string LessonFileName(int lesson);  // "lesson-007.txt"
inline constexpr const char* kIndexFileName = "index.txt";

}  // namespace course
