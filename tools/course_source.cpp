#include "tools/course_source.h"

#include <array>
#include <cstdio>

#include "tools/course_text.h"

namespace course {
namespace {

constexpr std::array<NamedStyle, 9> kStyleTable = {{
    {"heading", 0xDC},       // large, bold, centred, right-to-left, blank row
    {"heading-ltr", 0xCC},   // the same, left-to-right
    {"centre", 0xD1},        // plain, centred, right-to-left, blank row
    {"centre-ltr", 0xC1},    // the same, left-to-right
    {"small-centre", 0xD2},  // small, centred, right-to-left, blank row
    {"small-right", 0xB2},   // small, right-aligned, right-to-left, blank row
    {"rule", 0xC7},          // centred separator with a blank row
    {"text", 0xB1},          // plain, right-aligned, right-to-left, blank row
    {"text-ltr", 0x81},      // plain, left-aligned, left-to-right, blank row
}};

std::string Hex2(unsigned value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%02X", value);
  return buffer;
}

// A number 0..max in decimal or 0x hex.
bool ParseNumber(std::string_view token, unsigned max, unsigned* out) {
  if (token.empty()) return false;
  unsigned base = 10;
  if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
    base = 16;
    token.remove_prefix(2);
  }
  unsigned long value = 0;
  for (char c : token) {
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return false;
    }
    value = value * base + digit;
    if (value > max) return false;
  }
  *out = static_cast<unsigned>(value);
  return true;
}

// One content line cut into its head tokens and its text.
struct SplitLine {
  std::vector<std::pair<std::string, int>> tokens;  // token, column
  std::u32string text;
  int textColumn = 0;
};

// A source file's lines, decoded. Calls `visit(lineNumber, line)` for every
// line that is not blank or a comment; stops at the first false.
template <typename Visit>
bool ForEachLine(std::string_view fileName, std::string_view bytes, SourceError* error,
                 Visit visit) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  int lineNumber = 0;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view raw = bytes.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    std::u32string line;
    std::size_t bad = 0;
    if (!DecodeUtf8(raw, &line, &bad)) {
      std::u32string before;
      std::size_t ignored = 0;
      DecodeUtf8(raw.substr(0, bad), &before, &ignored);
      *error = SourceError{std::string(fileName), lineNumber, static_cast<int>(before.size()) + 1,
                           "not valid UTF-8"};
      return false;
    }
    std::size_t first = line.find_first_not_of(U' ');
    if (first == std::u32string::npos || line[first] == U'#') continue;
    if (!visit(lineNumber, line)) return false;
  }
  return true;
}

bool Split(std::string_view fileName, int lineNumber, const std::u32string& line, SplitLine* out,
           SourceError* error) {
  auto fail = [&](int column, std::string message) {
    *error = SourceError{std::string(fileName), lineNumber, column, std::move(message)};
    return false;
  };
  const std::size_t colon = line.find(U':');
  if (colon == std::u32string::npos) {
    return fail(0, "no ':' after the head of the line (write \"STYLE: TEXT\")");
  }
  std::vector<std::pair<std::string, int>> tokens;
  std::size_t i = 0;
  while (i < colon) {
    if (line[i] == U' ') {
      ++i;
      continue;
    }
    std::size_t end = i;
    std::string token;
    while (end < colon && line[end] != U' ') {
      if (line[end] > 0x7E || line[end] < 0x21) {
        return fail(static_cast<int>(end) + 1,
                    DescribeChar(line[end]) + " in the head of the line, before ':'");
      }
      token.push_back(static_cast<char>(line[end]));
      ++end;
    }
    tokens.emplace_back(std::move(token), static_cast<int>(i) + 1);
    i = end;
  }
  if (tokens.empty()) return fail(static_cast<int>(colon) + 1, "nothing before ':'");
  out->tokens = std::move(tokens);
  if (colon + 1 == line.size()) {
    out->text.clear();
    out->textColumn = static_cast<int>(colon) + 2;
    return true;
  }
  if (line[colon + 1] != U' ') {
    return fail(static_cast<int>(colon) + 2, "':' must be followed by one space and the text");
  }
  out->text = line.substr(colon + 2);
  out->textColumn = static_cast<int>(colon) + 3;
  return true;
}

bool ParseStyle(const std::string& token, std::uint8_t* out) {
  for (const NamedStyle& named : kStyleTable) {
    if (token == named.name) {
      *out = named.value;
      return true;
    }
  }
  unsigned value = 0;
  if (!ParseNumber(token, 255, &value) || value == 0) return false;
  *out = static_cast<std::uint8_t>(value);
  return true;
}

std::string KnownStyles() {
  std::string names;
  for (const NamedStyle& named : kStyleTable) {
    if (!names.empty()) names += ", ";
    names += named.name;
  }
  return names;
}

void AppendText(std::string* out, const std::u32string& text) {
  if (text.empty()) {
    *out += ":\n";
  } else {
    *out += ": ";
    *out += EncodeUtf8(text);
    *out += '\n';
  }
}

}  // namespace

const std::span<const NamedStyle> kStyleNames{kStyleTable};

std::string SourceError::Format() const {
  std::string text = file;
  if (line > 0) {
    text += ':' + std::to_string(line);
    if (column > 0) text += ':' + std::to_string(column);
  }
  text += ": " + message;
  return text;
}

std::string StyleName(std::uint8_t style) {
  for (const NamedStyle& named : kStyleTable) {
    if (named.value == style) return named.name;
  }
  return Hex2(style);
}

bool ParseLessonSource(std::string_view fileName, std::string_view bytes, LessonSource* out,
                       SourceError* error) {
  out->paragraphs.clear();
  return ForEachLine(fileName, bytes, error, [&](int lineNumber, const std::u32string& line) {
    SplitLine split;
    if (!Split(fileName, lineNumber, line, &split, error)) return false;
    auto fail = [&](int column, std::string message) {
      *error = SourceError{std::string(fileName), lineNumber, column, std::move(message)};
      return false;
    };
    SourceParagraph paragraph;
    paragraph.line = lineNumber;
    paragraph.textColumn = split.textColumn;
    paragraph.text = split.text;
    const auto& [styleToken, styleColumn] = split.tokens[0];
    if (!ParseStyle(styleToken, &paragraph.style)) {
      return fail(styleColumn, "unknown style '" + styleToken + "': a name (" + KnownStyles() +
                                   ") or a number from 1 to 255");
    }
    if (split.tokens.size() > 2) {
      return fail(split.tokens[2].second, "unexpected '" + split.tokens[2].first +
                                              "': the head is a style and at most one param");
    }
    if (split.tokens.size() == 2) {
      unsigned param = 0;
      if (!ParseNumber(split.tokens[1].first, 255, &param)) {
        return fail(split.tokens[1].second,
                    "param '" + split.tokens[1].first + "' is not a number from 0 to 255");
      }
      paragraph.param = static_cast<std::uint8_t>(param);
    }
    out->paragraphs.push_back(std::move(paragraph));
    return true;
  });
}

bool ParseIndexSource(std::string_view fileName, std::string_view bytes, IndexSource* out,
                      SourceError* error) {
  out->entries.clear();
  return ForEachLine(fileName, bytes, error, [&](int lineNumber, const std::u32string& line) {
    SplitLine split;
    if (!Split(fileName, lineNumber, line, &split, error)) return false;
    auto fail = [&](int column, std::string message) {
      *error = SourceError{std::string(fileName), lineNumber, column, std::move(message)};
      return false;
    };
    SourceIndexEntry entry;
    entry.line = lineNumber;
    entry.textColumn = split.textColumn;
    entry.text = split.text;
    const auto& tokens = split.tokens;
    std::size_t next = 1;
    if (tokens[0].first == "heading") {
      entry.kind = IndexEntryKind::kHeading;
      entry.style = kHeadingStyle;
      entry.level = kHeadingLevel;
    } else if (tokens[0].first == "lesson" || tokens[0].first == "entry") {
      const bool lesson = tokens[0].first == "lesson";
      entry.kind = lesson ? IndexEntryKind::kLesson : IndexEntryKind::kEntry;
      entry.style = lesson ? kLessonEntryStyle : kOtherEntryStyle;
      entry.level = lesson ? kLessonEntryLevel : kOtherEntryLevel;
      unsigned number = 0;
      const unsigned max = lesson ? 0x3FFF : 0xFFFF;
      if (tokens.size() < 2 || !ParseNumber(tokens[1].first, max, &number) ||
          (lesson && number == 0)) {
        return fail(tokens.size() < 2 ? tokens[0].second : tokens[1].second,
                    lesson ? "'lesson' needs the lesson's number (1 and up)"
                           : "'entry' needs its id, a number from 0 to 0xFFFF");
      }
      entry.number = static_cast<std::uint16_t>(number);
      next = 2;
    } else {
      return fail(tokens[0].second, "unknown entry '" + tokens[0].first +
                                        "': write heading, lesson N or entry ID");
    }
    bool haveLevel = false;
    bool haveStyle = false;
    while (next < tokens.size()) {
      const auto& [word, column] = tokens[next];
      if ((word != "level" && word != "style") || next + 1 >= tokens.size()) {
        return fail(column, "expected 'level N' or 'style S', found '" + word + "'");
      }
      const auto& [value, valueColumn] = tokens[next + 1];
      if (word == "level") {
        unsigned level = 0;
        if (haveLevel || !ParseNumber(value, 255, &level)) {
          return fail(valueColumn, haveLevel ? "level given twice"
                                             : "level '" + value + "' is not a number from 0 to 255");
        }
        entry.level = static_cast<std::uint8_t>(level);
        haveLevel = true;
      } else {
        if (haveStyle || !ParseStyle(value, &entry.style)) {
          return fail(valueColumn, haveStyle ? "style given twice"
                                             : "unknown style '" + value +
                                                   "': a name or a number from 1 to 255");
        }
        haveStyle = true;
      }
      next += 2;
    }
    out->entries.push_back(std::move(entry));
    return true;
  });
}

std::string WriteLessonSource(const LessonSource& lesson) {
  std::string out;
  for (const SourceParagraph& paragraph : lesson.paragraphs) {
    out += StyleName(paragraph.style);
    if (paragraph.param != 0) out += ' ' + std::to_string(paragraph.param);
    AppendText(&out, paragraph.text);
  }
  return out;
}

std::string WriteIndexSource(const IndexSource& index) {
  std::string out;
  for (const SourceIndexEntry& entry : index.entries) {
    std::uint8_t style = kOtherEntryStyle;
    std::uint8_t level = kOtherEntryLevel;
    switch (entry.kind) {
      case IndexEntryKind::kHeading:
        out += "heading";
        style = kHeadingStyle;
        level = kHeadingLevel;
        break;
      case IndexEntryKind::kLesson:
        out += "lesson " + std::to_string(entry.number);
        style = kLessonEntryStyle;
        level = kLessonEntryLevel;
        break;
      case IndexEntryKind::kEntry: {
        char id[16];
        std::snprintf(id, sizeof id, "entry 0x%04X", static_cast<unsigned>(entry.number));
        out += id;
        break;
      }
    }
    if (entry.level != level) out += " level " + std::to_string(entry.level);
    if (entry.style != style) out += " style " + StyleName(entry.style);
    AppendText(&out, entry.text);
  }
  return out;
}

}  // namespace course
