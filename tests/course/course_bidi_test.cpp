// Right-to-left paragraphs stored in display order: brackets mirrored, digit
// and Latin runs left to right, points before their letters; and the way back.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/course_bidi.h"
#include "tools/course_text.h"

namespace {

std::string Bytes(std::initializer_list<int> codes) {
  std::string out;
  for (int c : codes) out.push_back(static_cast<char>(c));
  return out;
}

std::string Store(std::u32string_view text) {
  std::vector<course::BookCluster> clusters;
  EXPECT_FALSE(course::TextToClusters(text, true, 1, &clusters, nullptr));
  std::string stored;
  EXPECT_FALSE(course::StoreRightToLeft(clusters, &stored));
  return stored;
}

TEST(CourseBidi, DigitsBracketsAndPoints) {
  // "shalom (12) alef-bet", shin with qamats and shin dot, vav with holam.
  const std::u32string text = {0x05E9, 0x05B8, 0x05C1, 0x05DC, 0x05D5, 0x05B9, 0x05DD, U' ', U'(',
                               U'1',   U'2',   U')',   U' ',   0x05D0, 0x05D1};
  const std::string stored = Store(text);
  EXPECT_EQ(stored, Bytes({98, 97, ' ', '(', '1', '2', ')', ' ', 110, 88, 109, 22, 65}));
  bool faithful = true;
  EXPECT_EQ(course::StoredRightToLeftToText(stored, &faithful), text);
  EXPECT_TRUE(faithful);
}

TEST(CourseBidi, NumbersWithSeparatorsAndTrailingPunctuation) {
  // "alef 3:16, bet." : the number stays in order, the comma and full stop
  // take the paragraph's direction.
  const std::u32string text = {0x05D0, U' ', U'3', U':', U'1', U'6', U',', U' ', 0x05D1, U'.'};
  const std::string stored = Store(text);
  EXPECT_EQ(stored, Bytes({'.', 98, ' ', ',', '3', ':', '1', '6', ' ', 97}));
  bool faithful = true;
  EXPECT_EQ(course::StoredRightToLeftToText(stored, &faithful), text);
  EXPECT_TRUE(faithful);
}

TEST(CourseBidi, LatinRunsKeepTheirOrder) {
  // Latin letters cannot reach a right-to-left paragraph from a source (their
  // codes are the Hebrew letters'), but the ordering keeps any left-to-right
  // run as it is: "alef-bet abc (x) gimel-dalet".
  std::vector<course::BookCluster> clusters;
  const std::u32string chars = {0x05D0, 0x05D1, U' ', U'a', U'b', U'c', U' ', U'(',
                                U'x',   U')',   U' ', 0x05D2, 0x05D3};
  for (char32_t c : chars) {
    course::BookCluster cluster;
    cluster.bidiChar = c;
    cluster.bytes = c >= 0x05D0 ? std::string(1, static_cast<char>(97 + (c - 0x05D0)))
                                : std::string(1, static_cast<char>(c));
    clusters.push_back(cluster);
  }
  std::string stored;
  ASSERT_FALSE(course::StoreRightToLeft(clusters, &stored));
  EXPECT_EQ(stored, "dc abc (x) ba");
}

TEST(CourseBidi, MirroredCharactersAtRightToLeftLevels) {
  struct Case {
    std::u32string text;
    std::string stored;
  };
  const Case cases[] = {
      {U"\u05D0 [\u05D1] <\u05D2>", Bytes({'<', 99, '>', ' ', '[', 98, ']', ' ', 97})},
      {U"(\u05D0", Bytes({97, ')'})},  // an unpaired bracket mirrors too
      {U"(1)", Bytes({'(', '1', ')'})},
  };
  for (const Case& c : cases) {
    const std::string stored = Store(c.text);
    EXPECT_EQ(stored, c.stored);
    bool faithful = true;
    EXPECT_EQ(course::StoredRightToLeftToText(stored, &faithful), c.text);
    EXPECT_TRUE(faithful);
  }
}

TEST(CourseBidi, StoredBytesNoSourceGivesAreFlagged) {
  bool faithful = true;
  course::StoredRightToLeftToText(Bytes({22, ' ', 97}), &faithful);  // a point on a space
  EXPECT_FALSE(faithful);
  faithful = true;
  course::StoredRightToLeftToText(Bytes({97, 7, 98}), &faithful);
  EXPECT_FALSE(faithful);
  faithful = true;
  EXPECT_EQ(course::StoredRightToLeftToText("", &faithful), U"");
  EXPECT_TRUE(faithful);
}

}  // namespace

namespace {

// Random right-to-left texts of letters, points, digits, brackets and
// punctuation: a stored paragraph read back gives a text that compiles to the
// same bytes, and the way back knows it is faithful.
TEST(CourseBidi, StoredTextsReadBackToTheSameBytes) {
  const std::u32string alphabet = U"\u05D0\u05D1\u05D5\u05DA\u05DC\u05E9\u05EA     0123456789"
                                  U"()[]<>-:.,'\"|!?";
  const std::u32string marks = U"\u05B0\u05B4\u05B8\u05B9\u05BC\u05C1\u05BA";
  unsigned state = 12345;
  auto next = [&state](unsigned n) {
    state = state * 1103515245u + 12345u;
    return (state >> 16) % n;
  };
  for (int round = 0; round < 2000; ++round) {
    std::u32string text;
    const unsigned length = 1 + next(24);
    for (unsigned i = 0; i < length; ++i) {
      const char32_t c = alphabet[next(static_cast<unsigned>(alphabet.size()))];
      text.push_back(c);
      if (c >= 0x05D0 && next(2) == 0) text.push_back(marks[next(static_cast<unsigned>(marks.size()))]);
    }
    std::vector<course::BookCluster> clusters;
    ASSERT_FALSE(course::TextToClusters(text, true, 1, &clusters, nullptr));
    std::string stored;
    ASSERT_FALSE(course::StoreRightToLeft(clusters, &stored));
    bool faithful = true;
    const std::u32string back = course::StoredRightToLeftToText(stored, &faithful);
    EXPECT_TRUE(faithful) << course::EncodeUtf8(text);
    EXPECT_EQ(Store(back), stored) << course::EncodeUtf8(text);
  }
}

}  // namespace
