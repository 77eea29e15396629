#include "platform/utf.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf, RoundTripsHebrewAndAstralText) {
  const std::string text = "abc \xD7\xA9\xD6\xB8\xD7\x9C\xD7\x95\xD6\xB9\xD7\x9D \xF0\x9F\x98\x80";
  const std::u16string wide = pf::Utf8ToUtf16(text);
  EXPECT_EQ(wide.substr(0, 5), u"abc \u05E9");
  EXPECT_EQ(wide.back(), 0xDE00);  // low surrogate of U+1F600
  EXPECT_EQ(pf::Utf16ToUtf8(wide), text);
  EXPECT_EQ(pf::Utf8ToUtf16Strict(text), wide);
}

TEST(Utf, MalformedInputIsReplacedOrRejected) {
  struct Case {
    std::string input;
    std::u16string repaired;
  };
  const Case cases[] = {
      {"\xD7", u"\uFFFD"},                   // truncated at the end
      {"\xD7" "a", u"\uFFFDa"},              // continuation missing
      {"\xC0\x80", u"\uFFFD\uFFFD"},         // overlong zero
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xFF", u"\uFFFD"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pf::Utf8ToUtf16(c.input), c.repaired) << c.input.size();
    EXPECT_FALSE(pf::Utf8ToUtf16Strict(c.input).has_value());
  }
  EXPECT_EQ(pf::Utf16ToUtf8(std::u16string(1, char16_t{0xD800})), "\xEF\xBF\xBD");
}

}  // namespace
