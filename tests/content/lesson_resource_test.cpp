#include "content/lesson_resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "content/palmdoc.h"
#include "tests/content/content_test_support.h"
#include "platform/resource.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::u16string kBrokenStream = u"UnCompress() buffer error!";

Bytes S(const std::string& s) { return Bytes(s.begin(), s.end()); }

const Bytes kDocument = S("\xD1\x01\x61\x62\x63 \x61\x62\x63 \x61\x62\x63\x00\xB1\x00xyz\x00\x00\x00");

Bytes Container(const Bytes& stream, std::uint16_t plainLength, int containerLength = -1) {
  // Head, stream and the four-byte trailer, laid out in one buffer.
  Bytes c(10 + stream.size() + 4, 0);
  const int length = containerLength >= 0 ? containerLength : static_cast<int>(stream.size()) + 8;
  c[0] = static_cast<std::uint8_t>(length >> 8);
  c[1] = static_cast<std::uint8_t>(length & 0xFF);
  c[3] = 21;
  c[5] = 21;
  c[6] = static_cast<std::uint8_t>(stream.size() >> 8);
  c[7] = static_cast<std::uint8_t>(stream.size() & 0xFF);
  c[8] = static_cast<std::uint8_t>(plainLength >> 8);
  c[9] = static_cast<std::uint8_t>(plainLength & 0xFF);
  std::copy(stream.begin(), stream.end(), c.begin() + 10);
  return c;
}

Bytes Good() {
  const Bytes packed = PalmDocCompress(kDocument);
  return BuildLessonResource(packed, static_cast<std::uint16_t>(kDocument.size()), 21, 21);
}

// One resource per broken or sound container; each test looks up its own.
struct Stored {
  unsigned id;
  Bytes bytes;
};

std::vector<Stored> MakeResources() {
  Bytes longClaim = Container(S("abc"), 3);
  longClaim[7] = 200;  // packedLength 200, far beyond the resource
  longClaim.resize(13);
  Bytes longClaimShort = longClaim;
  longClaimShort[9] = 5;  // and the 3 bytes there do not make 5
  return {
      {1001, Good()},
      {1002, Container(S("abc"), 3, 4)},          // containerLength 4
      {1003, Container({}, 3)},                  // packedLength 0
      {1004, Container(S("abc"), 0)},            // plainLength 0
      {1005, Container(S("abc"), 4)},            // one byte short
      {1006, {}},                                // empty
      {1007, Bytes{0, 9, 0, 0, 0, 0, 0, 1, 0}},  // head cut short
      {1008, longClaim},                         // claims more, output full
      {1009, longClaimShort},                    // claims more, runs out
      {1010, Container({'a', 0x80, 0x10}, 4)},   // copy from before the start
      {1011, Container({'x', 0xC1}, 2)},         // space fills the output
      {1012, Container({'a', 'b', 0x80}, 6)},    // copy without its second byte
      {1013, Container({8, 'a'}, 9)},            // literal run beyond the stream
      {32767, BuildLessonResource(PalmDocCompress(S("index")), 5, 1, 255)},
  };
}

class LessonResourceTest : public ContentTestBase {
 protected:
  void SetUp() override {
    ContentTestBase::SetUp();
    stored = MakeResources();
    for (const Stored& s : stored) table.push_back({static_cast<std::uint16_t>(s.id), s.bytes});
    tables.rcdata = table;
    pf::InstallResources(&tables);
  }
  void TearDown() override {
    pf::InstallResources(nullptr);
    ContentTestBase::TearDown();
  }

  std::vector<Stored> stored;
  std::vector<pf::BinaryResource> table;
  pf::ResourceTables tables;
};

TEST_F(LessonResourceTest, LoadsTheDocumentWithTwoZeroBytesAfterIt) {
  int error = 99;
  std::uint16_t length = 0;
  DocumentBlock doc(LoadLessonDocument(1, &error, &length));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(error, 99);
  ASSERT_EQ(length, kDocument.size());
  EXPECT_EQ(Bytes(doc.get(), doc.get() + length), kDocument);
  EXPECT_EQ(doc.get()[length], 0);
  EXPECT_EQ(doc.get()[length + 1], 0);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(LessonResourceTest, ErrorCodes) {
  struct Case {
    int lesson;
    int code;  // 0: success; 99: untouched failure
    bool message;
    const char* expected;  // document on success
  } cases[] = {
      {0, 99, false, nullptr},   {-5, 99, false, nullptr}, {246, 1, false, nullptr},
      {2, 3, false, nullptr},    {3, 3, false, nullptr},   {4, 4, false, nullptr},
      {5, 5, true, nullptr},     {6, 2, false, nullptr},   {7, 3, false, nullptr},
      {8, 0, false, "abc"},      {9, 5, true, nullptr},    {10, 5, true, nullptr},
      {11, 0, false, "x "},      {12, 5, true, nullptr},   {13, 5, true, nullptr},
      {kIndexLesson, 0, false, "index"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("lesson " + std::to_string(c.lesson));
    boxes.clear();
    int error = 99;
    std::uint16_t length = 0;
    DocumentBlock doc(LoadLessonDocument(c.lesson, &error, &length));
    if (c.code == 0) {
      ASSERT_NE(doc, nullptr);
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(doc.get()), length), c.expected);
      EXPECT_EQ(error, 99);
    } else {
      EXPECT_EQ(doc, nullptr);
      EXPECT_EQ(error, c.code);
    }
    EXPECT_EQ(boxes, c.message ? std::vector<std::u16string>{kBrokenStream}
                               : std::vector<std::u16string>{});
  }
}

TEST_F(LessonResourceTest, ErrorPlaceMayBeLeftOut) {
  EXPECT_EQ(LoadLessonDocument(246), nullptr);
  EXPECT_EQ(LoadLessonDocument(5), nullptr);
  EXPECT_EQ(UnCompress({}, 5), nullptr);
}

TEST_F(LessonResourceTest, UnCompressWithoutStreamOrLength) {
  int error = 0;
  EXPECT_EQ(UnCompress(std::span<const std::uint8_t>(), 5, &error), nullptr);
  EXPECT_EQ(error, 4);
  const Bytes stream = S("abc");
  error = 0;
  EXPECT_EQ(UnCompress(stream, 0, &error), nullptr);
  EXPECT_EQ(error, 4);
}

TEST_F(LessonResourceTest, UnpackContainerChecksItsBody) {
  const Bytes body = {0, 3, 0, 3, 'a', 'b', 'c', 0, 0, 0, 0};
  int error = 0;
  EXPECT_EQ(UnpackContainer(body, 4, &error), nullptr);
  EXPECT_EQ(error, 3);
  error = 0;
  EXPECT_EQ(UnpackContainer(std::span(body).first(3), 11, &error), nullptr);
  EXPECT_EQ(error, 3);
  DocumentBlock doc(UnpackContainer(body, 5, &error));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc.get()[0], 'a');
  EXPECT_EQ(doc.get()[3], 0);
}

TEST_F(LessonResourceTest, OutOfMemoryAtEveryAllocation) {
  for (unsigned long failAt = 1;; ++failAt) {
    SCOPED_TRACE("allocation " + std::to_string(failAt));
    SetAllocFailureAt(failAt);
    int error = 0;
    DocumentBlock doc(LoadLessonDocument(1, &error));
    SetAllocFailureAt(0);
    if (doc) {
      EXPECT_EQ(std::memcmp(doc.get(), kDocument.data(), kDocument.size()), 0);
      break;
    }
    EXPECT_EQ(error, 2);
    ASSERT_LT(failAt, 10u);
  }
  // The failure was told as exhausted memory, never as a broken stream.
  for (const auto& text : boxes) EXPECT_NE(text, kBrokenStream);
}

}  // namespace
