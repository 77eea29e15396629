// The compiler's checks: bad sources are refused with their file, line and
// column; documents the reader would refuse are never built.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/course_build.h"
#include "tools/course_documents.h"
#include "tools/course_source.h"

namespace {

// Parses and compiles a lesson; returns the formatted error, or "" on success.
std::string LessonError(const std::string& source, std::vector<std::uint8_t>* document = nullptr) {
  course::LessonSource lesson;
  course::SourceError error;
  std::vector<std::uint8_t> bytes;
  if (!course::ParseLessonSource("l.txt", source, &lesson, &error) ||
      !course::CompileLesson("l.txt", lesson, &bytes, nullptr, &error)) {
    return error.Format();
  }
  if (document != nullptr) *document = bytes;
  return "";
}

std::string IndexError(const std::string& source, std::vector<std::uint8_t>* document = nullptr) {
  course::IndexSource index;
  course::SourceError error;
  std::vector<std::uint8_t> bytes;
  if (!course::ParseIndexSource("i.txt", source, &index, &error) ||
      !course::CompileIndex("i.txt", index, 245, &bytes, nullptr, &error)) {
    return error.Format();
  }
  if (document != nullptr) *document = bytes;
  return "";
}

TEST(CourseSource, LessonCompilesToItsRecords) {
  std::vector<std::uint8_t> document;
  const std::string source =
      "\xEF\xBB\xBF# a comment\r\n"
      "centre: \xD7\x90\xD7\x91\r\n"
      "\n"
      "  rule 210:\n"
      "text-ltr:  two spaces:lead\n"
      "0x91 0x45: \xD7\x92\n"
      "small-right:\n";
  ASSERT_EQ(LessonError(source, &document), "");
  const std::vector<std::uint8_t> expected = {0xD1, 0, 98, 97, 0,             // display order
                                              0xC7, 210, 0,                    //
                                              0x81, 0, ' ', 't', 'w', 'o', ' ', 's', 'p', 'a',
                                              'c', 'e', 's', ':', 'l', 'e', 'a', 'd', 0,  //
                                              0x91, 0x45, 99, 0,                          //
                                              0xB2, 0, 0,                                 //
                                              0, 0, 0};
  EXPECT_EQ(document, expected);
  course::LessonSource back;
  std::string problem;
  ASSERT_TRUE(course::DecompileLesson(document, &back, &problem));
  EXPECT_EQ(problem, "");
  EXPECT_EQ(course::WriteLessonSource(back),
            "centre: \xD7\x90\xD7\x91\nrule 210:\ntext-ltr:  two spaces:lead\n"
            "0x91 69: \xD7\x92\nsmall-right:\n");
}

TEST(CourseSource, BadLessonsAreRefused) {
  struct Case {
    std::string source;
    std::string error;
  };
  const std::string big(1700, 'x');
  std::string tooLong;
  for (int i = 0; i < 40; ++i) tooLong += "text-ltr: " + big + "\n";
  const Case cases[] = {
      {"", "l.txt: the lesson has no paragraph"},
      {"# only a comment\n", "l.txt: the lesson has no paragraph"},
      {"centre \xD7\x90\n", "l.txt:1: no ':' after the head of the line"},
      {"centre:\xD7\x90\n", "l.txt:1:8: ':' must be followed by one space"},
      {"middle: \xD7\x90\n", "l.txt:1:1: unknown style 'middle'"},
      {"0: \xD7\x90\n", "l.txt:1:1: unknown style '0'"},
      {"256: \xD7\x90\n", "l.txt:1:1: unknown style '256'"},
      {"text 300: \xD7\x90\n", "l.txt:1:6: param '300' is not a number from 0 to 255"},
      {"text 1 2: \xD7\x90\n", "l.txt:1:8: unexpected '2'"},
      {"text\xD7\x90: x\n", "l.txt:1:5: U+05D0 (Hebrew letter alef) in the head of the line"},
      {"centre: \xD7\x90\ntext: \xD7\x90 \xC3\xA9\n", "l.txt:2:9: U+00E9 cannot be stored in BookCode"},
      {"centre: \xD7\x90\ntext: a\n", "l.txt:2:7: 'a' cannot stand in a right-to-left paragraph"},
      {"centre: \xD7\x90\ntext-ltr: \xD7\x90\n",
       "l.txt:2:11: U+05D0 (Hebrew letter alef) cannot stand in a left-to-right paragraph"},
      {"centre: \xD7\x90\ntext: \xD7\x90\xFF\n", "l.txt:2:8: not valid UTF-8"},
      {"centre: \xD7\x90\ntext: \t\n", "l.txt:2:7: U+0009 (a control character) cannot be stored"},
      {"centre:\ntext: \xD7\x90\n", "l.txt:1: the first paragraph must have a text"},
      {"rule: x\n", "l.txt:1:7: a separator with param 0 takes no text"},
      {tooLong, "l.txt:39: the lesson grows past 65535 bytes here"},
  };
  for (const Case& c : cases) {
    const std::string error = LessonError(c.source);
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << "got: " << error << "\nwanted: " << c.error;
  }
  // A separator may open a lesson; a rule with a length may carry a text.
  EXPECT_EQ(LessonError("rule 100:\nrule 5: x\n"), "");
  // The largest document that fits: 65535 bytes with its terminator.
  std::string fits;
  for (int i = 0; i < 38; ++i) fits += "text-ltr: " + big + "\n";
  const std::size_t used = 38 * (1700 + 3) + 3;
  fits += "text-ltr: " + std::string(65535 - used - 3, 'y') + "\n";
  std::vector<std::uint8_t> document;
  EXPECT_EQ(LessonError(fits, &document), "");
  EXPECT_EQ(document.size(), 65535u);
}

TEST(CourseSource, IndexCompilesWithHeadingNumbersByPosition) {
  std::vector<std::uint8_t> document;
  ASSERT_EQ(IndexError("heading: \xD7\x90\nlesson 7: \xD7\x91\nlesson 245 level 3 style 0x81: "
                       "\xD7\x92\nheading: \xD7\x93\nentry 0x1234 level 2: 1\n",
                       &document),
            "");
  const std::vector<std::uint8_t> expected = {
      0xFE, 0xBF, 0x8C, 1, 97,  0,  // heading at position 0: 0x8000 + 0x3FFE
      0x07, 0x40, 0x01, 2, 98,  0,  // lesson 7
      0xF5, 0x40, 0x81, 3, 99,  0,  // lesson 245
      0xFB, 0xBF, 0x8C, 1, 100, 0,  // heading at position 3
      0x34, 0x12, 0x01, 2, '1', 0,  //
      0,    0,    0,    0, 0};
  EXPECT_EQ(document, expected);
  course::IndexSource back;
  std::string problem;
  ASSERT_TRUE(course::DecompileIndex(document, &back, &problem));
  EXPECT_EQ(course::WriteIndexSource(back),
            "heading: \xD7\x90\nlesson 7: \xD7\x91\nlesson 245 level 3 style text-ltr: \xD7\x92\n"
            "heading: \xD7\x93\nentry 0x1234 level 2: 1\n");
}

TEST(CourseSource, BadIndexesAreRefused) {
  struct Case {
    std::string source;
    std::string error;
  };
  const Case cases[] = {
      {"", "i.txt: the index has no entry"},
      {"heading: \xD7\x90\nlesson 1:\n", "i.txt:2: an index entry needs a text"},
      {"lesson 1:\n", "i.txt:1: an index entry needs a text"},
      {"heading: \xD7\x90\nheading: \xD7\x91\nlesson 1: \xD7\x92\n",
       "i.txt:1: a heading must be followed by an entry of a deeper level"},
      {"lesson 1: \xD7\x90\nheading: \xD7\x91\n", "i.txt:2: a heading must be followed"},
      {"lesson 246: \xD7\x90\n", "i.txt:1: lesson 246 is not in the course (1 to 245)"},
      {"lesson 0: \xD7\x90\n", "i.txt:1:8: 'lesson' needs the lesson's number"},
      {"lesson: \xD7\x90\n", "i.txt:1:1: 'lesson' needs the lesson's number"},
      {"entry 0x10000: \xD7\x90\n", "i.txt:1:7: 'entry' needs its id"},
      {"chapter 1: \xD7\x90\n", "i.txt:1:1: unknown entry 'chapter'"},
      {"lesson 1 level: \xD7\x90\n", "i.txt:1:10: expected 'level N' or 'style S'"},
      {"lesson 1 level 2 level 3: \xD7\x90\n", "i.txt:1:24: level given twice"},
      {"lesson 1 style 0: \xD7\x90\n", "i.txt:1:16: unknown style '0'"},
      {"lesson 1: Genesis\n", "i.txt:1:11: 'G' cannot stand in a right-to-left paragraph"},
  };
  for (const Case& c : cases) {
    const std::string error = IndexError(c.source);
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << "got: " << error << "\nwanted: " << c.error;
  }
}

// A course folder of tiny lessons, removed at the end.
class CourseFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("course-test-" + std::to_string(getpid()) +
               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    for (int n = 1; n <= 245; ++n) Write(course::LessonFileName(n), "centre: \xD7\x90\n");
    Write("index.txt", "heading: \xD7\x90\nlesson 1: \xD7\x91\n");
    Write("README.md", "not a source\n");
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(folder_ / name, std::ios::binary) << text;
  }
  std::vector<std::string> Build() {
    course::BuiltCourse built;
    std::vector<std::string> errors;
    const bool ok = course::BuildCourse(folder_, 245, &built, &errors);
    EXPECT_EQ(ok, errors.empty());
    if (ok) {
      EXPECT_EQ(built.resources.size(), 246u);
      EXPECT_EQ(built.resources.front().number, 1001);
      EXPECT_EQ(built.resources.back().number, 32767);
    }
    for (std::string& error : errors) error = error.substr(error.find_last_of('/') + 1);
    return errors;
  }
  std::filesystem::path folder_;
};

TEST_F(CourseFolder, TheWholeCourseIsChecked) {
  EXPECT_EQ(Build(), std::vector<std::string>{});

  std::filesystem::remove(folder_ / "lesson-017.txt");
  std::vector<std::string> errors = Build();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("the course has 244 lessons, it must have exactly 245; missing: "
                           "lesson-017.txt"),
            std::string::npos);
  Write("lesson-017.txt", "centre: \xD7\x90\n");

  Write("lesson-246.txt", "centre: \xD7\x90\n");
  Write("lesson-01.txt", "centre: \xD7\x90\n");
  errors = Build();
  ASSERT_EQ(errors.size(), 2u);
  for (const std::string& error : errors) {
    EXPECT_NE(error.find("not a lesson of this course"), std::string::npos) << error;
  }
  std::filesystem::remove(folder_ / "lesson-246.txt");
  std::filesystem::remove(folder_ / "lesson-01.txt");

  // Every file with a fault is named, not just the first.
  Write("lesson-003.txt", "centre: A\n");
  Write("lesson-200.txt", "centre:\n");
  Write("index.txt", "lesson 1:\n");
  errors = Build();
  EXPECT_EQ(errors, (std::vector<std::string>{
                        "lesson-003.txt:1:9: 'A' cannot stand in a right-to-left paragraph: "
                        "BookCode keeps the Hebrew letters and pointed forms at the codes of the "
                        "Latin letters and braces",
                        "lesson-200.txt:1: the first paragraph must have a text (or be a "
                        "separator): the reader refuses a lesson that starts with an empty "
                        "paragraph",
                        "index.txt:1: an index entry needs a text"}));
  std::filesystem::remove(folder_ / "index.txt");
  errors = Build();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("no index.txt"), std::string::npos);
}

}  // namespace
