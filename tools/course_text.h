#pragma once
// Course text: pointed Hebrew in Unicode to BookCode and back, for the course
// compiler and the importer of the default course.
//
// A paragraph's text is cut into clusters: a Hebrew letter with its combining
// marks, or one other character. Each cluster becomes the BookCode bytes it is
// stored as, in display order: its points first, then the letter (so that a
// point precedes the letter it sits on once a right-to-left paragraph is stored
// left to right). The bidirectional ordering of the clusters is course_bidi.h.
//
// What is accepted (anything else is an error that names its column):
//   - the Hebrew letters U+05D0-U+05EA with the points U+05B0-U+05BB and
//     qamats qatan U+05C7 (as qamats), holam haser for vav U+05BA (as a holam
//     of its own, never merged into a pointed form), dagesh or mapiq U+05BC,
//     shin and sin dots U+05C1, U+05C2. A letter with dagesh, dots, or vav and
//     lamed with holam, final kaf with qamats or sheva, become the pointed
//     forms of BookCode (the inverse of the content library's tables).
//   - marks BookCode cannot hold are dropped and counted: cantillation
//     U+0591-U+05AF, meteg U+05BD, rafe U+05BF, upper and lower dots U+05C4,
//     U+05C5, and a dagesh or dot on a letter that has no such pointed form.
//   - maqaf U+05BE becomes "-", sof pasuq U+05C3 ":", paseq U+05C0 "|",
//     geresh U+05F3 "'", gershayim U+05F4 '"'.
//   - printable ASCII U+0020-U+007E. In a right-to-left paragraph BookCode keeps
//     the Hebrew letters and pointed forms where ASCII has its letters (65-90,
//     97-123), so Latin letters and the braces are refused there; in a
//     left-to-right paragraph, drawn unconverted, Hebrew letters are refused.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace course {

// One character as the bidirectional algorithm sees it, with its BookCode.
struct BookCluster {
  char32_t bidiChar = 0;   // the character whose direction class orders it
  std::string bytes;       // BookCode in display order: points, then the letter
  int column = 0;          // 1-based column (code points) of its first character
};

// Dropped marks by description ("meteg U+05BD", "dagesh U+05BC on alef"...).
using DropCounts = std::map<std::string, long>;

// A fault in a text, at a 1-based column of code points.
struct TextError {
  int column = 0;
  std::string message;
};

// Decodes UTF-8 strictly (no overlongs, surrogates or values above U+10FFFF).
// On failure returns false and sets *badByte to the offset of the first bad
// byte.
bool DecodeUtf8(std::string_view bytes, std::u32string* out, std::size_t* badByte);
std::string EncodeUtf8(std::u32string_view text);

// Cuts `text` into clusters. `firstColumn` is the column of text[0] in its line.
// Dropped marks are added to `drops` (may be null). Returns the first error.
std::optional<TextError> TextToClusters(std::u32string_view text, bool rightToLeft,
                                        int firstColumn, std::vector<BookCluster>* out,
                                        DropCounts* drops);

// The canonical Unicode of one stored cluster (display-order bytes: points
// then one letter, or a single other byte) in a right-to-left paragraph:
// the letter, then its marks in canonical order, so that TextToClusters gives
// the same bytes back. Bytes that no source text gives (codes below 32, from
// 127 up, a lone point) come back as U+FFFD or on U+25CC and set *faithful to
// false when given.
std::u32string ClusterToUnicode(std::string_view bytes, bool* faithful);

// The canonical form of a right-to-left paragraph's text: every cluster
// converted and turned back, so dropped marks are gone, marks are in canonical
// order and Hebrew punctuation is ASCII. Compiling it gives the same bytes as
// compiling `text`. Errors as TextToClusters.
std::optional<TextError> CanonicalText(std::u32string_view text, bool rightToLeft,
                                       std::u32string* out, DropCounts* drops);

// "U+05BD HEBREW POINT METEG"-like name of a character, for messages.
std::string DescribeChar(char32_t c);

}  // namespace course
