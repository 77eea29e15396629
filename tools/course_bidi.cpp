#include "tools/course_bidi.h"

#include <fribidi.h>

#include <algorithm>
#include <cstdint>

#include "content/book_code.h"

namespace course {
namespace {

// One paragraph's visual order: order[k] is the logical index shown k-th from
// the left; mirrored[i] is the character logical index i is shown as.
struct VisualOrder {
  std::vector<int> order;
  std::vector<char32_t> shown;
};

// The bidirectional algorithm over `chars` as one right-to-left line: levels
// (rules P2-I2 and L1 by fribidi), then L1 for the whitespace at the line's
// end, L2 reversal and L4 mirroring.
VisualOrder OrderRightToLeft(const std::vector<char32_t>& chars) {
  const auto n = static_cast<FriBidiStrIndex>(chars.size());
  VisualOrder result;
  result.shown = chars;
  result.order.resize(chars.size());
  for (std::size_t i = 0; i < chars.size(); ++i) result.order[i] = static_cast<int>(i);
  if (n == 0) return result;
  std::vector<FriBidiChar> text(chars.begin(), chars.end());
  std::vector<FriBidiCharType> types(chars.size());
  std::vector<FriBidiBracketType> brackets(chars.size());
  std::vector<FriBidiLevel> levels(chars.size());
  fribidi_get_bidi_types(text.data(), n, types.data());
  fribidi_get_bracket_types(text.data(), n, types.data(), brackets.data());
  FriBidiParType direction = FRIBIDI_PAR_RTL;
  if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), n, &direction,
                                          levels.data()) == 0) {
    // Only a failed allocation inside fribidi gets here: keep everything on
    // the paragraph's level, which stores the text simply reversed.
    std::fill(levels.begin(), levels.end(), FriBidiLevel{1});
  }
  const FriBidiLevel base = 1;
  for (std::size_t i = chars.size(); i-- > 0;) {
    if (!FRIBIDI_IS_EXPLICIT_OR_BN_OR_WS(types[i]) && !FRIBIDI_IS_ISOLATE(types[i])) break;
    levels[i] = base;
  }
  for (std::size_t i = 0; i < chars.size(); ++i) {
    FriBidiChar mirror = 0;
    if ((levels[i] & 1) != 0 && fribidi_get_mirror_char(text[i], &mirror)) {
      result.shown[i] = mirror;
    }
  }
  FriBidiLevel highest = 0;
  FriBidiLevel lowestOdd = 127;
  for (FriBidiLevel level : levels) {
    highest = std::max(highest, level);
    if ((level & 1) != 0) lowestOdd = std::min(lowestOdd, level);
  }
  std::vector<FriBidiLevel> shownLevels = levels;
  for (int level = highest; level >= lowestOdd && level > 0; --level) {
    std::size_t k = 0;
    while (k < chars.size()) {
      if (shownLevels[k] < level) {
        ++k;
        continue;
      }
      std::size_t end = k;
      while (end < chars.size() && shownLevels[end] >= level) ++end;
      std::reverse(result.order.begin() + static_cast<std::ptrdiff_t>(k),
                   result.order.begin() + static_cast<std::ptrdiff_t>(end));
      std::reverse(shownLevels.begin() + static_cast<std::ptrdiff_t>(k),
                   shownLevels.begin() + static_cast<std::ptrdiff_t>(end));
      k = end;
    }
  }
  return result;
}

bool IsLetterCode(std::uint8_t b) {
  return (b >= kBookFinalKafQamats && b <= kBookResh) || (b >= kBookFirstForm && b <= 90) ||
         (b >= kBookAlef && b <= kBookTav);
}

}  // namespace

std::optional<TextError> StoreRightToLeft(const std::vector<BookCluster>& clusters,
                                          std::string* out) {
  out->clear();
  std::vector<char32_t> chars;
  chars.reserve(clusters.size());
  for (const BookCluster& cluster : clusters) chars.push_back(cluster.bidiChar);
  const VisualOrder visual = OrderRightToLeft(chars);
  for (int index : visual.order) {
    const auto i = static_cast<std::size_t>(index);
    const BookCluster& cluster = clusters[i];
    if (visual.shown[i] == cluster.bidiChar) {
      *out += cluster.bytes;
      continue;
    }
    const char32_t mirror = visual.shown[i];
    const bool storable = mirror >= 0x20 && mirror <= 0x7E && !(mirror >= U'A' && mirror <= U'Z') &&
                          !(mirror >= U'a' && mirror <= U'z') && mirror != U'{' && mirror != U'}';
    if (!storable) {
      return TextError{cluster.column, DescribeChar(cluster.bidiChar) +
                                           " is shown mirrored here, as " + DescribeChar(mirror) +
                                           ", which BookCode cannot hold"};
    }
    out->push_back(static_cast<char>(mirror));
  }
  return std::nullopt;
}

std::u32string StoredRightToLeftToText(std::string_view stored, bool* faithful) {
  // Display clusters: points, then the letter they sit on; or one other byte.
  std::vector<std::string> shown;
  std::string points;
  for (char ch : stored) {
    const auto b = static_cast<std::uint8_t>(ch);
    if (IsBookPoint(b)) {
      points.push_back(ch);
      continue;
    }
    if (IsLetterCode(b)) {
      shown.push_back(points + ch);
      points.clear();
      continue;
    }
    if (!points.empty()) shown.push_back(points);
    points.clear();
    shown.push_back(std::string(1, ch));
  }
  if (!points.empty()) shown.push_back(points);

  // Reading the display right to left gives the logical order of every
  // right-to-left run; ordering that once more as a right-to-left line puts
  // the left-to-right runs back and undoes the mirroring.
  std::reverse(shown.begin(), shown.end());
  std::vector<char32_t> chars;
  std::vector<std::u32string> texts;
  for (const std::string& cluster : shown) {
    const auto last = static_cast<std::uint8_t>(cluster.back());
    char32_t bidi = 0xFFFD;
    if (IsLetterCode(last) || IsBookPoint(last)) {
      bidi = 0x05D0;
    } else if (last >= 0x20 && last <= 0x7E) {
      bidi = last;
    }
    chars.push_back(bidi);
    texts.push_back(ClusterToUnicode(cluster, faithful));
  }
  const VisualOrder visual = OrderRightToLeft(chars);
  std::u32string text;
  for (auto it = visual.order.rbegin(); it != visual.order.rend(); ++it) {
    const auto i = static_cast<std::size_t>(*it);
    if (visual.shown[i] != chars[i]) {
      text.push_back(visual.shown[i]);
    } else {
      text += texts[i];
    }
  }

  if (faithful != nullptr && *faithful) {
    std::vector<BookCluster> clusters;
    std::string again;
    if (TextToClusters(text, true, 1, &clusters, nullptr) ||
        StoreRightToLeft(clusters, &again) || again != stored) {
      *faithful = false;
    }
  }
  return text;
}

}  // namespace course
