#include "content/article_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Record(std::uint8_t style, std::uint8_t param, const std::string& text) {
  Bytes r = {style, param};
  for (char c : text) r.push_back(static_cast<std::uint8_t>(c));
  r.push_back(0);
  return r;
}

Bytes Doc(std::initializer_list<Bytes> records) {
  Bytes d;
  for (const Bytes& r : records) {
    for (std::uint8_t b : r) d.push_back(b);
  }
  return d;
}

std::vector<std::string> Texts(std::span<const std::uint8_t> doc, std::size_t* end = nullptr) {
  std::vector<std::string> texts;
  const std::size_t stop = ForEachParagraph(doc, [&](const ParagraphRecord& r) {
    texts.emplace_back(doc.begin() + static_cast<long>(r.textOffset),
                       doc.begin() + static_cast<long>(r.textOffset + r.textLength));
    return true;
  });
  if (end) *end = stop;
  return texts;
}

TEST(ArticleDocumentTest, WalksRecordsToTheZeroStyle) {
  const Bytes doc = Doc({Record(0xD1, 0, "abc"), Record(0xC7, 210, ""), Record(0xB1, 0x45, "de"),
                         Bytes{0, 0, 0}, Record(0x81, 0, "never")});
  std::size_t end = 0;
  EXPECT_EQ(Texts(doc, &end), (std::vector<std::string>{"abc", "", "de"}));
  EXPECT_EQ(end, 6u + 3u + 5u);

  ParagraphRecord r;
  ASSERT_TRUE(ReadParagraph(doc, 6, &r));
  EXPECT_EQ(r.style, 0xC7);
  EXPECT_EQ(r.param, 210);
  EXPECT_TRUE(IsSeparatorStyle(r.style));
  EXPECT_EQ(r.next, 9u);
  ASSERT_TRUE(ReadParagraph(doc, 9, &r));
  EXPECT_EQ(HangingLevel(r.param), 1);
  EXPECT_EQ(r.param & kParamIndentMask, 5);
}

TEST(ArticleDocumentTest, StopsAtRecordsThatLeaveTheBuffer) {
  // Each ends inside the record that does not fit: no terminator for the
  // text, a lone StyleByte, or an offset past the end.
  const Bytes noTerminator = Doc({Record(0xB1, 0, "ab"), Bytes{0xB1, 0, 'x', 'y'}});
  std::size_t end = 0;
  EXPECT_EQ(Texts(noTerminator, &end), (std::vector<std::string>{"ab"}));
  EXPECT_EQ(end, 5u);
  const Bytes loneStyle = Doc({Record(0xB1, 0, "ab"), Bytes{0xB1}});
  EXPECT_EQ(Texts(loneStyle).size(), 1u);
  ParagraphRecord r;
  EXPECT_FALSE(ReadParagraph(loneStyle, 100, &r));
  EXPECT_TRUE(Texts(Bytes{}).empty());
}

TEST(ArticleDocumentTest, ReadsIndexRecords) {
  Bytes doc = {0xFE, 0xBF, 0x8C, 1, 'm', 0,     // heading 0x3FFE
               0x01, 0x40, 0x01, 2, 'a', 'b', 0,  // link to lesson 1
               0, 0, 0, 0, 0};
  std::vector<IndexRecord> records;
  const std::size_t end = ForEachIndexRecord(doc, [&](const IndexRecord& r) {
    records.push_back(r);
    return true;
  });
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].id, kIndexIdHeading | 0x3FFE);
  EXPECT_EQ(records[0].level, 1);
  EXPECT_EQ(records[1].id & kIndexIdNumberMask, 1);
  EXPECT_EQ(records[1].textLength, 2u);
  EXPECT_EQ(end, 13u);
  doc.resize(11);  // the link's text loses its terminator
  IndexRecord r;
  EXPECT_FALSE(ReadIndexRecord(doc, 6, &r));
}

}  // namespace
