#include "content/palmdoc.h"

#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes B(std::initializer_list<int> values) {
  Bytes out;
  for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

Bytes S(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// Copy token for distance d and length l.
Bytes Copy(int d, int l) {
  const int v = (d << 3) | (l - 3);
  return B({0x80 | (v >> 8), v & 0xFF});
}

struct DecodeCase {
  const char* name;
  Bytes stream;
  std::size_t plainLength;
  bool complete;
  Bytes expected;        // the output when complete
  std::size_t consumed;  // stream bytes read
};

// Cases print as their names (test listings stay short and stable).
void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }

class DecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, ProducesExpectedOutput) {
  const DecodeCase& c = GetParam();
  // Guard bytes around the output catch any write outside it.
  Bytes buffer(c.plainLength + 16, 0xEE);
  const PalmDocDecodeResult r =
      PalmDocDecode(c.stream, std::span<std::uint8_t>(buffer.data() + 8, c.plainLength));
  EXPECT_EQ(r.complete, c.complete);
  EXPECT_EQ(r.consumed, c.consumed);
  for (std::size_t k = 0; k < 8; ++k) {
    EXPECT_EQ(buffer[k], 0xEE);
    EXPECT_EQ(buffer[8 + c.plainLength + k], 0xEE);
  }
  if (c.complete) {
    EXPECT_EQ(Bytes(buffer.begin() + 8, buffer.begin() + 8 + static_cast<long>(c.plainLength)),
              c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, DecodeTest,
    testing::Values(
        DecodeCase{"Plain", S("abc"), 3, true, S("abc"), 3},
        DecodeCase{"ZeroByteIsLiteral", B({0x00, 0x7F}), 2, true, B({0x00, 0x7F}), 2},
        DecodeCase{"LiteralRun", B({3, 0x80, 0xFF, 0x01}), 3, true, B({0x80, 0xFF, 0x01}), 4},
        DecodeCase{"Copy", Concat({S("abcd"), Copy(4, 3)}), 7, true, S("abcdabc"), 6},
        DecodeCase{"OverlappingCopyRepeats", Concat({S("ab"), Copy(2, 10)}), 12, true,
                   S("abababababab"), 4},
        DecodeCase{"FarCopyAtTheEnd", Concat({S("abcdefghijkl"), Copy(10, 3)}), 15, true,
                   S("abcdefghijklcde"), 14},
        DecodeCase{"FarCopyThenLiterals", Concat({S("abcdefghijkl"), Copy(10, 3), S("xy")}), 17,
                   true, S("abcdefghijklcdexy"), 16},
        DecodeCase{"SpacePair", B({0xC1, 0xFF}), 4, true, B({0x20, 0x41, 0x20, 0x7F}), 2},
        DecodeCase{"SpaceFillsOutputExactly", B({'x', 0xC1}), 2, true, S("x "), 2},
        DecodeCase{"CopyCutByOutput", Concat({S("abc"), Copy(3, 10)}), 5, true, S("abcab"), 5},
        DecodeCase{"RunCutByOutput", B({5, 1, 2, 3, 4, 5}), 2, true, B({1, 2}), 3},
        DecodeCase{"StreamNotUsedUp", S("abcdef"), 3, true, S("abc"), 3},
        DecodeCase{"OneByteShort", S("ab"), 3, false, {}, 2},
        DecodeCase{"EmptyStream", {}, 1, false, {}, 0},
        DecodeCase{"EmptyOutput", S("abc"), 0, true, {}, 0},
        DecodeCase{"DistanceZero", Concat({S("abc"), Copy(0, 3)}), 6, false, {}, 5},
        DecodeCase{"DistanceBeforeStart", Concat({S("abc"), Copy(4, 3)}), 6, false, {}, 5},
        DecodeCase{"DistanceAtStartIsFine", Concat({S("abc"), Copy(3, 3)}), 6, true,
                   S("abcabc"), 5},
        DecodeCase{"FarDistanceAtFirstByte", Copy(2047, 10), 10, false, {}, 2},
        DecodeCase{"CopyMissingSecondByte", B({'a', 0x80}), 4, false, {}, 2},
        DecodeCase{"RunBeyondStream", B({4, 1, 2}), 4, false, {}, 1}),
    [](const testing::TestParamInfo<DecodeCase>& p) { return std::string(p.param.name); });

Bytes RoundTrip(const Bytes& plain, const Bytes& stream) {
  Bytes out(plain.size());
  const PalmDocDecodeResult r = PalmDocDecode(stream, out);
  EXPECT_TRUE(r.complete);
  EXPECT_EQ(r.consumed, stream.size()) << "every stream byte is used";
  return out;
}

Bytes RandomBytes(std::size_t n, unsigned seed, int alphabet = 256) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> d(0, alphabet - 1);
  Bytes out(n);
  for (auto& b : out) b = static_cast<std::uint8_t>(d(rng));
  return out;
}

// Words of Hebrew-like BookCode: letters 97-123 with points 21-31 before
// some of them, pointed forms, spaces and punctuation, from a small lexicon so
// that words recur as they do in real text.
Bytes HebrewLike(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<Bytes> lexicon;
  for (int w = 0; w < 400; ++w) {
    Bytes word;
    const int letters = 2 + static_cast<int>(rng() % 5);
    for (int k = 0; k < letters; ++k) {
      if (rng() % 2) word.push_back(static_cast<std::uint8_t>(21 + rng() % 11));
      word.push_back(static_cast<std::uint8_t>(rng() % 6 == 0 ? 65 + rng() % 26 : 97 + rng() % 27));
    }
    lexicon.push_back(word);
  }
  Bytes out;
  while (out.size() < n) {
    const Bytes& w = lexicon[std::min(rng() % 400, rng() % 400)];
    out.insert(out.end(), w.begin(), w.end());
    out.push_back(rng() % 12 == 0 ? static_cast<std::uint8_t>(":,.-"[rng() % 4]) : 0x20);
  }
  out.resize(n);
  return out;
}

struct RoundTripCase {
  const char* name;
  Bytes plain;
};

// Cases print as their names (test listings stay short and stable).
void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.name; }

class RoundTripTest : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTripTest, OptimalAndGreedyDecodeBackAndOptimalIsNoLarger) {
  const Bytes& plain = GetParam().plain;
  const Bytes optimal = PalmDocCompress(plain);
  const Bytes greedy = PalmDocCompressGreedy(plain);
  EXPECT_EQ(RoundTrip(plain, optimal), plain);
  EXPECT_EQ(RoundTrip(plain, greedy), plain);
  EXPECT_LE(optimal.size(), greedy.size());
  // The stream reserves what it needs, not a guess gone wild.
  EXPECT_LE(optimal.capacity(), plain.size() + plain.size() / 8 + 8);
}

Bytes RepeatAtDistance(std::size_t distance) {
  // Ten bytes that recur nowhere else, then filler that matches nothing, then
  // the ten bytes again `distance` bytes after their first start.
  Bytes plain = S("QWERTYUIOP");
  const Bytes filler = RandomBytes(distance - 10, 7, 64);
  for (auto b : filler) plain.push_back(static_cast<std::uint8_t>(0x60 + (b & 0x1F)));
  const Bytes tail = S("QWERTYUIOP");
  plain.insert(plain.end(), tail.begin(), tail.end());
  return plain;
}

Bytes AllByteValues(int repeats) {
  Bytes out;
  for (int r = 0; r < repeats; ++r) {
    for (int b = 0; b < 256; ++b) out.push_back(static_cast<std::uint8_t>(b));
  }
  return out;
}

Bytes SpacesBeforeEveryByte() {
  Bytes out;
  for (int b = 0; b < 256; ++b) {
    out.push_back(0x20);
    out.push_back(static_cast<std::uint8_t>(b));
  }
  out.push_back(0x20);  // a space at the very end
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, RoundTripTest,
    testing::Values(
        RoundTripCase{"Empty", {}},
        RoundTripCase{"OneSafeByte", S("a")},
        RoundTripCase{"OneZero", B({0})},
        RoundTripCase{"OneEscaped", B({0x05})},
        RoundTripCase{"OneHigh", B({0xC0})},
        RoundTripCase{"OneSpace", S(" ")},
        RoundTripCase{"LongRunOfOneByte", Bytes(5000, 'a')},
        RoundTripCase{"LongRunOfEscapedByte", Bytes(5000, 0x81)},
        RoundTripCase{"AllByteValues", AllByteValues(3)},
        RoundTripCase{"SpacesBeforeEveryByte", SpacesBeforeEveryByte()},
        RoundTripCase{"EscapedOnly", RandomBytes(3000, 1, 8)},
        RoundTripCase{"RepeatAt2047", RepeatAtDistance(2047)},
        RoundTripCase{"RepeatAt2048", RepeatAtDistance(2048)},
        RoundTripCase{"Random64K", RandomBytes(65535, 2)},
        RoundTripCase{"SmallAlphabet64K", RandomBytes(65535, 3, 4)},
        RoundTripCase{"HebrewLike64K", HebrewLike(65535, 4)}),
    [](const testing::TestParamInfo<RoundTripCase>& p) { return std::string(p.param.name); });

TEST(PalmDocCompressTest, RandomShortInputsOverSmallAlphabets) {
  for (unsigned seed = 0; seed < 300; ++seed) {
    const Bytes plain = RandomBytes(seed % 60, seed, seed % 2 ? 3 : 256);
    const Bytes stream = PalmDocCompress(plain);
    EXPECT_EQ(RoundTrip(plain, stream), plain) << "seed " << seed;
    EXPECT_LE(stream.size(), PalmDocCompressGreedy(plain).size()) << "seed " << seed;
  }
}

TEST(PalmDocCompressTest, UsesTheWholeWindowButNotBeyond) {
  // At 2047 the repeat is one copy (2 bytes instead of 10 literals).
  const std::size_t at2047 = PalmDocCompress(RepeatAtDistance(2047)).size();
  const std::size_t at2048 = PalmDocCompress(RepeatAtDistance(2048)).size();
  // 10 literals instead of one copy, give or take the one extra filler byte.
  EXPECT_GE(at2048, at2047 + 7);
}

struct SizeCase {
  const char* name;
  Bytes plain;
  std::size_t size;  // the smallest stream
};

// Cases print as their names (test listings stay short and stable).
void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.name; }

class SmallestStreamTest : public testing::TestWithParam<SizeCase> {};

TEST_P(SmallestStreamTest, FindsTheSmallestStream) {
  const SizeCase& c = GetParam();
  const Bytes stream = PalmDocCompress(c.plain);
  EXPECT_EQ(stream.size(), c.size);
  EXPECT_EQ(RoundTrip(c.plain, stream), c.plain);
}

INSTANTIATE_TEST_SUITE_P(
    Exact, SmallestStreamTest,
    testing::Values(
        // 'a' then one overlapping copy of 10.
        SizeCase{"RunOfEleven", Bytes(11, 'a'), 3},
        // Two escaped bytes around a plain one: one run of 3 (4 bytes), not 2 + 1 + 2.
        SizeCase{"EscapesJoinedAcrossPlainByte", B({0x80, 'x', 0x81}), 4},
        // Nine escaped bytes: runs of 8 and 1.
        SizeCase{"NineEscapes", B({1, 2, 3, 4, 5, 6, 7, 8, 0x90}), 11},
        // A space before 'A' is one byte; before '!' it is not a pair.
        SizeCase{"SpacePairs", S(" A B !"), 4},
        // Nine literals, then copies of 10 and 7 at distance 9.
        SizeCase{"CopyThenCopy", S("abcdefgh-abcdefgh-abcdefgh"), 9 + 2 + 2}),
    [](const testing::TestParamInfo<SizeCase>& p) { return std::string(p.param.name); });

TEST(PalmDocCompressTest, BeatsGreedyOnText) {
  const Bytes plain = HebrewLike(8000, 9);
  const Bytes optimal = PalmDocCompress(plain);
  const Bytes greedy = PalmDocCompressGreedy(plain);
  EXPECT_LT(optimal.size(), greedy.size());
  EXPECT_LT(optimal.size(), plain.size() * 3 / 4);
}

}  // namespace
