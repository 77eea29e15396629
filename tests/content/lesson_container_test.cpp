#include "content/lesson_container.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(LessonContainerTest, BuildsTheExactLayout) {
  const Bytes packed = {'a', 'b', 'c'};
  const Bytes built = BuildLessonResource(packed, 0x1234, LessonReserved(7), LessonReserved(7));
  const Bytes expected = {0x00, 11,   0x00, 27,  0x00, 27,  0x00, 3,  0x12,
                          0x34, 'a',  'b',  'c', 0,    0,   0,    0};
  EXPECT_EQ(built, expected);
}

TEST(LessonContainerTest, RefusesWhatCouldNotBeLoaded) {
  EXPECT_TRUE(BuildLessonResource({}, 5, 1, 255).empty());
  EXPECT_TRUE(BuildLessonResource(Bytes(3, 'a'), 0, 1, 255).empty());
  EXPECT_TRUE(BuildLessonResource(Bytes(kMaxPackedLength + 1, 'a'), 5, 1, 255).empty());
  const Bytes largest = BuildLessonResource(Bytes(kMaxPackedLength, 'a'), 5, 1, 255);
  ASSERT_EQ(largest.size(), kMaxPackedLength + 14);
  EXPECT_EQ(largest[0], 0xFF);
  EXPECT_EQ(largest[1], 0xFF);
}

TEST(LessonContainerTest, ParsesWhatItBuilds) {
  const Bytes packed = {1, 2, 3, 4, 5};
  const Bytes built = BuildLessonResource(packed, 300, kIndexReserved1, kIndexReserved2);
  LessonContainer c;
  std::string warnings;
  ASSERT_EQ(ParseLessonResource(built, &c, &warnings), "");
  EXPECT_EQ(warnings, "");
  EXPECT_EQ(c.containerLength, 13);
  EXPECT_EQ(c.reserved1, 1);
  EXPECT_EQ(c.reserved2, 255);
  EXPECT_EQ(c.packedLength, 5);
  EXPECT_EQ(c.plainLength, 300);
  EXPECT_EQ(Bytes(c.stream.begin(), c.stream.end()), packed);
}

TEST(LessonContainerTest, ParseNamesTheFault) {
  struct Case {
    Bytes bytes;
    const char* fault;  // a word the message must contain; null: parses with a warning
  } cases[] = {
      {Bytes(13, 0), "shorter"},
      {{0, 4, 0, 0, 0, 0, 0, 1, 0, 1, 'a', 0, 0, 0, 0}, "below 5"},
      {{0, 8, 0, 0, 0, 0, 0, 0, 0, 1, 'a', 0, 0, 0, 0}, "packedLength is 0"},
      {{0, 9, 0, 0, 0, 0, 0, 1, 0, 0, 'a', 0, 0, 0, 0}, "plainLength is 0"},
      {{0, 10, 0, 0, 0, 0, 0, 2, 0, 1, 'a', 0, 0, 0, 0}, "needs 16"},
      {{0, 20, 0, 0, 0, 0, 0, 1, 0, 1, 'a', 0, 0, 0, 0}, nullptr},
      {{0, 9, 0, 0, 0, 0, 0, 1, 0, 1, 'a', 0, 0, 1, 0}, nullptr},
  };
  for (const Case& c : cases) {
    std::string warnings;
    const std::string fault = ParseLessonResource(c.bytes, nullptr, &warnings);
    if (c.fault) {
      EXPECT_NE(fault.find(c.fault), std::string::npos) << fault;
    } else {
      EXPECT_EQ(fault, "");
      EXPECT_NE(warnings, "");
    }
  }
}

TEST(LessonContainerTest, ResourceNumbersWrapAt16Bits) {
  EXPECT_EQ(LessonResourceNumber(1), 1001u);
  EXPECT_EQ(LessonResourceNumber(245), 1245u);
  EXPECT_EQ(LessonResourceNumber(kIndexLesson), 32767u);
  EXPECT_EQ(LessonResourceNumber(64536), 0u);
  EXPECT_EQ(LessonResourceNumber(65535), 999u);
}

}  // namespace
