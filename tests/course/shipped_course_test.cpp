// The course the executable carries: every resource is a sound container
// whose stream decodes to exactly plainLength with exactly packedLength bytes,
// every document is the compiled form of its committed source, and the index
// has the sections of the Hebrew year.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "content/article_document.h"
#include "content/lesson_container.h"
#include "content/palmdoc.h"
#include "resources/course_data.h"
#include "tools/course_documents.h"
#include "tools/course_source.h"

namespace {

std::string ReadSource(const std::string& name) {
  std::ifstream in(std::filesystem::path(CORVELLA_COURSE_SOURCES) / name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string SourceName(int lesson) {
  char name[32];
  std::snprintf(name, sizeof name, "lesson-%03d.txt", lesson);
  return lesson == kIndexLesson ? std::string("index.txt") : std::string(name);
}

// The document inside the resource of `lesson`, checked on the way.
std::vector<std::uint8_t> Document(int lesson) {
  const std::span<const pf::BinaryResource> course = CourseRcData();
  for (const pf::BinaryResource& resource : course) {
    if (resource.id != LessonResourceNumber(lesson)) continue;
    LessonContainer container;
    std::string warnings;
    EXPECT_EQ(ParseLessonResource(resource.bytes, &container, &warnings), "");
    EXPECT_EQ(warnings, "");
    EXPECT_EQ(container.containerLength, container.packedLength + 8);
    EXPECT_EQ(resource.bytes.size(), container.packedLength + 14u);
    const bool isIndex = lesson == kIndexLesson;
    EXPECT_EQ(container.reserved1, isIndex ? 1 : lesson + 20);
    EXPECT_EQ(container.reserved2, isIndex ? 255 : lesson + 20);
    std::vector<std::uint8_t> document(container.plainLength);
    const PalmDocDecodeResult full = PalmDocDecode(container.stream, document);
    EXPECT_TRUE(full.complete);
    EXPECT_EQ(full.written, container.plainLength);
    EXPECT_EQ(full.consumed, container.packedLength);
    // One byte fewer of stream does not make the document.
    std::vector<std::uint8_t> scratch(container.plainLength);
    EXPECT_FALSE(PalmDocDecode(container.stream.first(container.packedLength - 1u), scratch).complete);
    return document;
  }
  ADD_FAILURE() << "no resource for lesson " << lesson;
  return {};
}

TEST(ShippedCourse, HoldsExactlyTheLessonsAndTheIndex) {
  const std::span<const pf::BinaryResource> course = CourseRcData();
  ASSERT_EQ(course.size(), 246u);
  for (int lesson = 1; lesson <= kLessonCount; ++lesson) {
    EXPECT_EQ(course[static_cast<std::size_t>(lesson - 1)].id, 1000 + lesson);
  }
  EXPECT_EQ(course.back().id, 32767);
}

TEST(ShippedCourse, EveryLessonDecodesAndDumpsBackToItsSource) {
  std::size_t plain = 0;
  for (int lesson = 1; lesson <= kLessonCount; ++lesson) {
    SCOPED_TRACE(lesson);
    const std::vector<std::uint8_t> document = Document(lesson);
    ASSERT_GE(document.size(), 3u);
    plain += document.size();
    EXPECT_EQ(document[document.size() - 1], 0);
    EXPECT_EQ(document[document.size() - 2], 0);
    EXPECT_EQ(document[document.size() - 3], 0);
    course::LessonSource source;
    std::string problem;
    ASSERT_TRUE(course::DecompileLesson(document, &source, &problem));
    EXPECT_EQ(problem, "");
    EXPECT_EQ(course::WriteLessonSource(source), ReadSource(SourceName(lesson)));

    // The shape of the shipped lessons: 209, 209, 210, 178, 199 (a full-width
    // rule), 209, then the verses in 177 paragraphs of at most 2000 bytes, and
    // an English 129 paragraph at the first chapter of a book.
    const std::vector<std::uint8_t> opening = {209, 209, 210, 178, 199, 209};
    ASSERT_GT(source.paragraphs.size(), opening.size());
    for (std::size_t i = 0; i < opening.size(); ++i) {
      EXPECT_EQ(source.paragraphs[i].style, opening[i]);
      EXPECT_EQ(source.paragraphs[i].param, i == 4 ? 210 : 0);
    }
    int english = 0;
    ForEachParagraph(document, [&](const ParagraphRecord& record) {
      if (record.offset > 0 && record.style != 129) {
        EXPECT_LE(record.textLength, 2000u);
      }
      english += record.style == 129;
      return true;
    });
    for (std::size_t i = opening.size(); i < source.paragraphs.size(); ++i) {
      const bool last = i + 1 == source.paragraphs.size();
      EXPECT_EQ(source.paragraphs[i].style, last && english == 1 ? 129 : 177);
    }
  }
  EXPECT_GT(plain, 0u);
}

TEST(ShippedCourse, IndexHasTheMonthSections) {
  const std::vector<std::uint8_t> document = Document(kIndexLesson);
  course::IndexSource index;
  std::string problem;
  ASSERT_TRUE(course::DecompileIndex(document, &index, &problem));
  EXPECT_EQ(problem, "");
  EXPECT_EQ(course::WriteIndexSource(index), ReadSource("index.txt"));

  std::vector<int> sections;
  int nextLesson = 1;
  std::size_t position = 0;
  ForEachIndexRecord(document, [&](const IndexRecord& record) {
    if ((record.id & kIndexIdHeading) != 0) {
      EXPECT_EQ(record.id, 0x8000 + 0x3FFE - position);
      EXPECT_EQ(record.style, 0x8C);
      EXPECT_EQ(record.level, 1);
      sections.push_back(0);
    } else {
      EXPECT_EQ(record.id, 0x4000 + nextLesson);
      EXPECT_EQ(record.style, 0x01);
      EXPECT_EQ(record.level, 2);
      ++nextLesson;
      if (!sections.empty()) ++sections.back();
    }
    EXPECT_GE(record.textLength, 1u);
    ++position;
    return true;
  });
  EXPECT_EQ(sections, (std::vector<int>{16, 21, 20, 21, 22, 21, 18, 20, 22, 21, 22, 21}));
  EXPECT_EQ(nextLesson, 246);
  EXPECT_EQ(position, 257u);
}

}  // namespace
