#pragma once
// Conversion between UTF-8 (files, the command line, scripts) and UTF-16 (the
// platform's text). Malformed input never reads out of bounds: invalid UTF-8
// sequences become U+FFFD, and unpaired surrogates in UTF-16 are written as
// U+FFFD too.

#include <optional>
#include <string>
#include <string_view>

namespace pf {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Strict decoding: nullopt when the input is not well-formed UTF-8 (for
// callers that must reject bad input instead of repairing it).
std::optional<std::u16string> Utf8ToUtf16Strict(std::string_view utf8);

// Length of a zero-terminated UTF-16 string, at most `limit` units.
std::size_t Utf16Length(const char16_t* text, std::size_t limit = static_cast<std::size_t>(-1));

}  // namespace pf
