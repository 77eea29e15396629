// The shared converter and the run operations, against the program's settings
// and the platform's test font.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "content/book_code.h"
#include "platform/font.h"
#include "platform/gdi.h"
#include "platform/surface.h"
#include "tests/content/content_test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class BookTextTest : public ContentTestBase {
 protected:
  void SetUp() override {
    ContentTestBase::SetUp();
    App.Font.FontAsciiBase = kBase1488;
    App.Flags = 0;
    SharedConverter.base = 0;
  }
  void TearDown() override {
    ReleaseSharedConverter();
    SharedConverter.base = 0;
    App.Flags = 0;
    ContentTestBase::TearDown();
  }
};

TEST_F(BookTextTest, ConvertsWithTheRecordsBaseOrTheSettings) {
  const Bytes text = {97, 16, 0};
  int extra = 0;
  const char16_t* units = ConvertBookText(text.data(), 2, &SharedConverter, &extra);
  ASSERT_NE(units, nullptr);
  EXPECT_EQ(std::u16string(units), u"\x05D0\x05B8\x05DA");
  EXPECT_EQ(extra, 1);
  EXPECT_EQ(units, SharedConverter.units);

  SharedConverter.base = kBase224;
  units = ConvertBookText(text.data(), 2, &SharedConverter, &extra);
  EXPECT_EQ(std::u16string(units), u"\xE0\xEA");
  EXPECT_EQ(extra, 0);

  SharedConverter.base = kBase97;
  App.Flags = kFlagReverse;
  units = ConvertBookText(text.data(), 2, &SharedConverter, &extra);
  EXPECT_EQ(std::u16string(units), u"a\x10");  // base 97 never reverses
}

TEST_F(BookTextTest, ReverseFlagTurnsTheWholeOutput) {
  App.Flags = kFlagReverse;
  const Bytes text = {97, 16, '(', 0};
  int extra = 0;
  const char16_t* units = ConvertBookText(text.data(), 3, &SharedConverter, &extra);
  ASSERT_NE(units, nullptr);
  EXPECT_EQ(std::u16string(units), u")\x05DA\x05B8\x05D0");
}

TEST_F(BookTextTest, SharedBufferGrowsOnlyForLongerRuns) {
  const Bytes text(100, 97);
  ASSERT_NE(ConvertBookText(text.data(), 50, &SharedConverter, nullptr), nullptr);
  const char16_t* first = SharedConverter.units;
  EXPECT_EQ(SharedConverter.capacity, 50);
  ASSERT_NE(ConvertBookText(text.data(), 10, &SharedConverter, nullptr), nullptr);
  EXPECT_EQ(SharedConverter.units, first);
  EXPECT_EQ(SharedConverter.capacity, 50);
  ASSERT_NE(ConvertBookText(text.data(), 99, &SharedConverter, nullptr), nullptr);
  EXPECT_EQ(SharedConverter.capacity, 99);
  EXPECT_EQ(std::u16string(SharedConverter.units).size(), 99u);
}

TEST_F(BookTextTest, OutOfMemoryLeavesTheRecordUsable) {
  const Bytes text(40, 98);
  ASSERT_NE(ConvertBookText(text.data(), 5, &SharedConverter, nullptr), nullptr);
  SetAllocFailureAt(1);
  EXPECT_EQ(ConvertBookText(text.data(), 30, &SharedConverter, nullptr), nullptr);
  SetAllocFailureAt(1);
  EXPECT_EQ(ConvertBookText(text.data(), 3, nullptr, nullptr), nullptr);
  SetAllocFailureAt(0);
  // Either the old buffer is still there or shut-down released it; both work.
  ASSERT_NE(ConvertBookText(text.data(), 30, &SharedConverter, nullptr), nullptr);
  EXPECT_EQ(std::u16string(SharedConverter.units), std::u16string(30, u'\x05D1'));
}

TEST_F(BookTextTest, ConvertsIntoANewBlockWithoutTheRecord) {
  const Bytes text = {97, 21, 98, 0};
  App.Font.FontAsciiBase = kBase224;
  int extra = 0;
  char16_t* units = ConvertBookText(text.data(), 3, nullptr, &extra);
  ASSERT_NE(units, nullptr);
  EXPECT_NE(units, SharedConverter.units);
  EXPECT_EQ(std::u16string(units), u"\xE0\xE1");
  EXPECT_EQ(extra, -1);
  ReleaseBlock(units);
}

TEST_F(BookTextTest, TypedTextBecomesTheSearchString) {
  ConvertTypedText(u"\x05D0  \x05EA");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(App.SearchString)), "a {");
  App.Font.FontAsciiBase = kBase224;
  ConvertTypedText(std::u16string(50, u'\xE1').c_str());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(App.SearchString)), std::string(33, 'b'));
}

// The test font at cell height 16: letters 8 wide, vav and yod 4, the mems
// and shin 12, points 0.
class RunTest : public BookTextTest {
 protected:
  void SetUp() override {
    BookTextTest::SetUp();
    dc = pf::CreateSurfaceDc(&surface, {0, 0}, surface.Bounds());
    pf::FontDescription d;
    d.height = 16;
    d.faceName = std::u16string(pf::kTestFontFace);
    font = pf::CreateFont(d);
    previous = pf::SelectObject(dc, font);
  }
  void TearDown() override {
    pf::SelectObject(dc, previous);
    pf::DeleteObject(font);
    pf::DeleteDc(dc);
    BookTextTest::TearDown();
  }
  bool Inked(int x, int y) { return pf::GetPixel(dc, x, y) != pf::Rgb(255, 255, 255); }

  pf::Surface surface{120, 20, 0xFFFFFF};
  pf::HDc dc = nullptr;
  pf::HFont font = nullptr;
  pf::HObj previous = nullptr;
};

TEST_F(RunTest, MeasureRunCountsBookCodeCharacters) {
  struct Case {
    const char* name;
    int base;
    bool reverse;
    Bytes text;
    int maxWidth;
    int count, width;
  } cases[] = {
      {"Letters", 1488, false, {97, 98, 99}, 20, 2, 16},
      {"PairFitsWhole", 1488, false, {16, 97}, 10, 1, 8},
      {"PairDoesNotHalfFit", 1488, false, {16, 97}, 5, 0, 0},
      {"DroppedPointsFitAlong", 224, false, {97, 21, 98, 22}, 8, 2, 8},
      {"ReadingOrderWhenReversed", 1488, true, {111, 97}, 14, 1, 12},
      {"Base97", 97, false, {'a', 'b', 'c'}, 100, 3, 24},
  };
  for (Case c : cases) {
    SCOPED_TRACE(c.name);
    SharedConverter.base = c.base;
    App.Flags = c.reverse ? kFlagReverse : 0;
    c.text.push_back(0);
    int width = c.maxWidth;
    int count = static_cast<int>(c.text.size()) - 1;
    MeasureRun(dc, c.text.data(), &width, &count);
    EXPECT_EQ(count, c.count);
    EXPECT_EQ(width, c.width);
  }
}

TEST_F(RunTest, DrawRunDrawsTheConvertedRunAtX) {
  // Mem (12 wide) then alef (8): boxes of advance - 1 columns.
  const Bytes text = {111, 97, 0};
  SharedConverter.base = kBase1488;
  DrawRun(dc, text.data(), 2, 10, 0, 20, 16);
  EXPECT_TRUE(Inked(10, 5));
  EXPECT_TRUE(Inked(20, 5));
  EXPECT_FALSE(Inked(21, 5));
  EXPECT_TRUE(Inked(22, 5));
  EXPECT_FALSE(Inked(9, 5));
  EXPECT_FALSE(Inked(29, 5));

  // Reversed: alef first, then the mem.
  surface.Fill(0xFFFFFF);
  App.Flags = kFlagReverse;
  DrawRun(dc, text.data(), 2, 10, 0, 20, 16);
  EXPECT_TRUE(Inked(16, 5));
  EXPECT_FALSE(Inked(17, 5));
  EXPECT_TRUE(Inked(18, 5));
  EXPECT_TRUE(Inked(28, 5));
}

}  // namespace
