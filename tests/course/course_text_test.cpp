// Unicode to BookCode: letters, points, pointed forms, pairs, dropped marks,
// punctuation, and the characters that are refused.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/course_text.h"

namespace {

using course::BookCluster;
using course::DropCounts;

// The clusters' bytes, in logical order of the clusters.
std::vector<std::string> Clusters(std::u32string_view text, bool rightToLeft = true,
                                  DropCounts* drops = nullptr) {
  std::vector<BookCluster> clusters;
  auto error = course::TextToClusters(text, rightToLeft, 1, &clusters, drops);
  EXPECT_FALSE(error) << (error ? error->message : "");
  std::vector<std::string> out;
  for (const BookCluster& cluster : clusters) out.push_back(cluster.bytes);
  return out;
}

std::string Bytes(std::initializer_list<int> codes) {
  std::string out;
  for (int c : codes) out.push_back(static_cast<char>(c));
  return out;
}

TEST(CourseText, LettersAreTheirBookCodes) {
  for (char32_t letter = 0x05D0; letter <= 0x05EA; ++letter) {
    const auto clusters = Clusters(std::u32string(1, letter));
    ASSERT_EQ(clusters.size(), 1u);
    EXPECT_EQ(clusters[0], Bytes({97 + static_cast<int>(letter - 0x05D0)})) << std::hex << static_cast<unsigned>(letter);
  }
}

TEST(CourseText, EachPointPrecedesItsLetter) {
  struct Case {
    char32_t point;
    int code;
  };
  const Case cases[] = {{0x05B4, 21}, {0x05B8, 22}, {0x05B7, 23}, {0x05B5, 24},
                        {0x05B6, 25}, {0x05BB, 26}, {0x05B0, 27}, {0x05B3, 28},
                        {0x05B2, 29}, {0x05B1, 30}, {0x05B9, 31},
                        {0x05C7, 22},   // qamats qatan is stored as qamats
                        {0x05BA, 31}};  // holam haser is a holam of its own
  for (const Case& c : cases) {
    const std::u32string text = {0x05D2, c.point};  // gimel with the point
    EXPECT_EQ(Clusters(text), std::vector<std::string>{Bytes({c.code, 99})}) << std::hex << static_cast<unsigned>(c.point);
  }
}

TEST(CourseText, PointedFormsPairsAndTheirMarks) {
  constexpr char32_t kDagesh = 0x05BC, kShinDot = 0x05C1, kSinDot = 0x05C2, kHolam = 0x05B9;
  constexpr char32_t kQamats = 0x05B8, kSheva = 0x05B0, kPatah = 0x05B7;
  struct Case {
    std::u32string text;
    std::string bytes;
  };
  const Case cases[] = {
      {{0x05E9, kShinDot}, Bytes({65})},
      {{0x05E9, kSinDot}, Bytes({66})},
      {{0x05E9, kShinDot, kDagesh}, Bytes({67})},  // marks in any order
      {{0x05E9, kDagesh, kSinDot}, Bytes({68})},
      {{0x05E9, kDagesh}, Bytes({86})},
      {{0x05D1, kDagesh}, Bytes({69})},
      {{0x05D2, kDagesh}, Bytes({70})},
      {{0x05D3, kDagesh}, Bytes({71})},
      {{0x05D4, kDagesh}, Bytes({72})},  // mapiq in he
      {{0x05D5, kDagesh}, Bytes({73})},  // shuruq
      {{0x05D6, kDagesh}, Bytes({74})},
      {{0x05D8, kDagesh}, Bytes({75})},
      {{0x05D9, kDagesh}, Bytes({76})},
      {{0x05DA, kDagesh}, Bytes({77})},
      {{0x05DB, kDagesh}, Bytes({78})},
      {{0x05DC, kDagesh}, Bytes({79})},
      {{0x05DE, kDagesh}, Bytes({80})},
      {{0x05E0, kDagesh}, Bytes({81})},
      {{0x05E1, kDagesh}, Bytes({82})},
      {{0x05E4, kDagesh}, Bytes({83})},
      {{0x05E6, kDagesh}, Bytes({84})},
      {{0x05E7, kDagesh}, Bytes({85})},
      {{0x05E8, kDagesh}, Bytes({20})},
      {{0x05EA, kDagesh}, Bytes({87})},
      {{0x05D5, kHolam}, Bytes({88})},
      {{0x05D5, 0x05BA}, Bytes({31, 102})},  // holam haser: vav and a holam
      {{0x05DC, kHolam, kDagesh}, Bytes({89})},
      {{0x05DC, kHolam}, Bytes({90})},
      {{0x05DA, kQamats}, Bytes({16})},
      {{0x05DA, kDagesh, kQamats}, Bytes({17})},
      {{0x05DA, kSheva}, Bytes({18})},
      {{0x05DA, kSheva, kDagesh}, Bytes({19})},
      {{0x05DA, 0x05C7}, Bytes({16})},  // qamats qatan on final kaf
      // A form with a further point: the point before the form.
      {{0x05E9, kPatah, kShinDot, kDagesh}, Bytes({23, 67})},
      {{0x05D1, kSheva, kDagesh}, Bytes({27, 69})},
      // Two points keep their canonical order, reversed for display.
      {{0x05DC, kHolam, kPatah}, Bytes({23, 90})},
      {{0x05DE, 0x05B4, kPatah}, Bytes({23, 21, 111})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Clusters(c.text), std::vector<std::string>{c.bytes})
        << std::hex << static_cast<unsigned>(c.text[0]) << " " << static_cast<unsigned>(c.text[1]);
  }
}

TEST(CourseText, MarksBookCodeCannotHoldAreDroppedAndCounted) {
  DropCounts drops;
  // alef with mapiq, bet with meteg and cantillation, gimel with rafe, dalet
  // with the upper dot and the lower dot, he with a shin dot.
  const std::u32string text = {0x05D0, 0x05BC, 0x05D1, 0x05B8, 0x05BD, 0x0591, 0x05D2, 0x05BF,
                               0x05D3, 0x05C4, 0x05C5, 0x05D4, 0x05C1};
  EXPECT_EQ(Clusters(text, true, &drops),
            (std::vector<std::string>{Bytes({97}), Bytes({22, 98}), Bytes({99}), Bytes({100}),
                                      Bytes({101})}));
  const DropCounts expected = {{"cantillation mark", 1},       {"dagesh U+05BC on alef", 1},
                               {"lower dot U+05C5", 1},        {"meteg U+05BD", 1},
                               {"rafe U+05BF", 1},             {"shin dot U+05C1 on he", 1},
                               {"upper dot U+05C4", 1}};
  EXPECT_EQ(drops, expected);
}

TEST(CourseText, PunctuationAndAscii) {
  const std::u32string hebrew = {0x05BE, 0x05C3, 0x05C0, 0x05F3, 0x05F4};
  EXPECT_EQ(Clusters(hebrew), (std::vector<std::string>{"-", ":", "|", "'", "\""}));
  const std::u32string ascii = U" !\"#$%&'()*+,-./0123456789:;<=>?@[\\]^_`|~";
  std::vector<std::string> expected;
  for (char32_t c : ascii) expected.emplace_back(1, static_cast<char>(c));
  EXPECT_EQ(Clusters(ascii), expected);
  // Left to right, every printable ASCII character stays, letters too.
  const std::u32string latin = U"Genesis {1}, 1:1-2.";
  std::vector<std::string> latinBytes;
  for (char32_t c : latin) latinBytes.emplace_back(1, static_cast<char>(c));
  EXPECT_EQ(Clusters(latin, false), latinBytes);
}

TEST(CourseText, RefusedCharactersNameTheirColumn) {
  struct Case {
    std::u32string text;
    bool rightToLeft;
    int column;
    const char* message;
  };
  const Case cases[] = {
      {U"\u05D0 \u00E9", true, 3, "U+00E9 cannot be stored in BookCode"},
      {U"\u05D0\t\u05D1", true, 2, "U+0009 (a control character) cannot be stored in BookCode"},
      {U"\u05D0 \u201C", true, 3, "U+201C cannot be stored in BookCode"},
      {U"\u05D0 A", true, 3, "'A' cannot stand in a right-to-left paragraph"},
      {U"\u05D0 z", true, 3, "'z' cannot stand in a right-to-left paragraph"},
      {U"{\u05D0}", true, 1, "'{' cannot stand in a right-to-left paragraph"},
      {U"ab \u05D0", false, 4, "U+05D0 (Hebrew letter alef) cannot stand in a left-to-right"},
      {U" \u05B8\u05D0", true, 2, "U+05B8 (qamats) does not follow a Hebrew letter"},
      {U"\u05BD", true, 1, "U+05BD (meteg) does not follow a Hebrew letter"},
      {U"\uFB2C", true, 1, "U+FB2C cannot be stored in BookCode"},
      {U"\u05C6", true, 1, "U+05C6 (nun hafukha) cannot be stored in BookCode"},
  };
  for (const Case& c : cases) {
    std::vector<BookCluster> clusters;
    const auto error = course::TextToClusters(c.text, c.rightToLeft, 1, &clusters, nullptr);
    ASSERT_TRUE(error) << c.message;
    EXPECT_EQ(error->column, c.column) << c.message;
    EXPECT_EQ(error->message.rfind(c.message, 0), 0u) << error->message;
  }
}

TEST(CourseText, ClusterToUnicodeGivesTheCanonicalSourceBack) {
  // Every pointed form, point and letter, and a few combinations, turned back
  // to Unicode and converted again give the same bytes.
  std::vector<std::string> stored;
  for (int c = 16; c <= 20; ++c) stored.push_back(Bytes({c}));
  for (int c = 65; c <= 90; ++c) stored.push_back(Bytes({c}));
  for (int c = 97; c <= 123; ++c) stored.push_back(Bytes({c}));
  for (int p = 21; p <= 31; ++p) stored.push_back(Bytes({p, 98}));
  stored.push_back(Bytes({31, 102}));  // holam beside a plain vav
  stored.push_back(Bytes({31, 73}));   // and beside a shuruq
  stored.push_back(Bytes({23, 67}));
  stored.push_back(Bytes({23, 21, 111}));
  for (const std::string& bytes : stored) {
    bool faithful = true;
    const std::u32string text = course::ClusterToUnicode(bytes, &faithful);
    EXPECT_TRUE(faithful);
    EXPECT_EQ(Clusters(text), std::vector<std::string>{bytes}) << static_cast<int>(bytes.back());
  }
  EXPECT_EQ(course::ClusterToUnicode(Bytes({31, 102}), nullptr), (std::u32string{0x05D5, 0x05BA}));
  // Codes no source gives are shown, but marked as not faithful.
  for (const std::string& odd : {Bytes({5}), Bytes({200}), Bytes({22})}) {
    bool faithful = true;
    course::ClusterToUnicode(odd, &faithful);
    EXPECT_FALSE(faithful);
  }
}

TEST(CourseText, CanonicalTextDropsMarksAndOrdersThem) {
  // bet, dagesh after sheva, meteg; maqaf; shin with the dot before the dagesh
  const std::u32string text = {0x05D1, 0x05B0, 0x05BD, 0x05BC, 0x05BE, 0x05E9, 0x05C1, 0x05BC};
  std::u32string canonical;
  DropCounts drops;
  ASSERT_FALSE(course::CanonicalText(text, true, &canonical, &drops));
  EXPECT_EQ(canonical, (std::u32string{0x05D1, 0x05B0, 0x05BC, U'-', 0x05E9, 0x05BC, 0x05C1}));
  EXPECT_EQ(drops.at("meteg U+05BD"), 1);
}

TEST(CourseText, Utf8IsDecodedStrictly) {
  std::u32string text;
  std::size_t bad = 0;
  EXPECT_TRUE(course::DecodeUtf8("a\xD7\x90\xE2\x80\x9C\xF0\x9F\x98\x80", &text, &bad));
  EXPECT_EQ(text, (std::u32string{U'a', 0x05D0, 0x201C, 0x1F600}));
  EXPECT_EQ(course::EncodeUtf8(text), "a\xD7\x90\xE2\x80\x9C\xF0\x9F\x98\x80");
  struct Case {
    const char* bytes;
    std::size_t bad;
  };
  const Case cases[] = {{"ab\x80", 2}, {"\xC0\x80", 0}, {"x\xD7", 1}, {"\xED\xA0\x80", 0},
                        {"\xF4\x90\x80\x80", 0}, {"\xE2\x28\xA1", 0}};
  for (const Case& c : cases) {
    EXPECT_FALSE(course::DecodeUtf8(c.bytes, &text, &bad)) << c.bytes;
    EXPECT_EQ(bad, c.bad) << c.bytes;
  }
}

}  // namespace
