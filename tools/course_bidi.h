#pragma once
// Right-to-left paragraphs are stored in display order, left to right: the
// Unicode bidirectional algorithm (fribidi) orders the paragraph's clusters as
// one line with a right-to-left base direction. Brackets and the other mirrored
// characters at right-to-left levels are stored mirrored, runs of digits (and
// of any other left-to-right text) keep their left-to-right order, and each
// Hebrew cluster keeps its points before its letter (course_text.h).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/course_text.h"

namespace course {

// The display-order bytes of a right-to-left paragraph made of `clusters` (in
// logical order). Fails only for a mirrored character whose mirror image
// BookCode cannot hold, naming its column.
std::optional<TextError> StoreRightToLeft(const std::vector<BookCluster>& clusters,
                                          std::string* out);

// The other way, for dumping: the logical Unicode text of a stored
// right-to-left paragraph, in the canonical form of CanonicalText. *faithful
// (may be null) becomes false when compiling that text would not give `stored`
// back (bytes no source gives, or an order the algorithm cannot produce).
std::u32string StoredRightToLeftToText(std::string_view stored, bool* faithful);

}  // namespace course
