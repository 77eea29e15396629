// The automation script: splitting lines, checking every command and its
// arguments before anything runs.
#include "platform/presenter_headless/script.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "platform/constants.h"
#include "platform/utf.h"

namespace pf {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> SplitWords(std::string_view s) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    const std::size_t start = i;
    while (i < s.size() && !IsBlank(s[i])) ++i;
    if (i > start) words.push_back(s.substr(start, i - start));
  }
  return words;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// A decimal number of at most 9 digits (no sign), or nothing.
std::optional<long> Decimal(std::string_view s) {
  if (s.empty() || s.size() > 9) return std::nullopt;
  long value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// "0x" followed by 1 to 8 hexadecimal digits, or nothing.
std::optional<long> Hexadecimal(std::string_view s) {
  if (s.size() < 3 || s.size() > 10 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) {
    return std::nullopt;
  }
  long value = 0;
  for (char c : s.substr(2)) {
    int digit = 0;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (AsciiLower(c) >= 'a' && AsciiLower(c) <= 'f') {
      digit = AsciiLower(c) - 'a' + 10;
    } else {
      return std::nullopt;
    }
    value = value * 16 + digit;
  }
  return value;
}

struct NamedKey {
  std::string_view name;
  std::uint32_t key;
};

constexpr std::array<NamedKey, 13> kNamedKeys{{
    {"Left", kVkLeft},
    {"Right", kVkRight},
    {"Up", kVkUp},
    {"Down", kVkDown},
    {"Prior", kVkPrior},
    {"Next", kVkNext},
    {"Home", kVkHome},
    {"End", kVkEnd},
    {"Return", kVkReturn},
    {"Escape", kVkEscape},
    {"Back", kVkBack},
    {"Tab", kVkTab},
    {"Space", kVkSpace},
}};

std::string Quoted(std::string_view s) {
  std::string out = "\"";
  out += s.substr(0, 40);
  if (s.size() > 40) out += "...";
  out += '"';
  return out;
}

struct LineParser {
  int width;
  int height;
  int line;
  ScriptError* error;

  bool Fail(std::string message) const {
    if (error != nullptr) *error = ScriptError{line, std::move(message)};
    return false;
  }

  bool WantArguments(std::string_view command, const std::vector<std::string_view>& words,
                     std::size_t count, std::string_view what) const {
    const std::size_t got = words.size() - 1;
    if (got == count) return true;
    std::string message(command);
    if (count == 0) {
      message += " takes no arguments";
    } else {
      message += " wants " + std::string(what);
    }
    message += ", got " + std::to_string(got) + (got == 1 ? " argument" : " arguments");
    return Fail(std::move(message));
  }

  bool Point(std::string_view command, const std::vector<std::string_view>& words,
             ScriptCommand* out) const {
    if (!WantArguments(command, words, 2, "X Y")) return false;
    const std::optional<long> x = Decimal(words[1]);
    if (!x) return Fail(std::string(command) + ": bad X " + Quoted(words[1]));
    const std::optional<long> y = Decimal(words[2]);
    if (!y) return Fail(std::string(command) + ": bad Y " + Quoted(words[2]));
    if (*x >= width || *y >= height) {
      return Fail(std::string(command) + ": " + std::to_string(*x) + " " + std::to_string(*y) +
                  " is off the " + std::to_string(width) + " x " + std::to_string(height) +
                  " screen");
    }
    out->x = static_cast<int>(*x);
    out->y = static_cast<int>(*y);
    return true;
  }

  bool Parse(std::string_view text, ScriptCommand* out) const {
    const std::vector<std::string_view> words = SplitWords(text);
    const std::string_view command = words.front();
    out->line = line;
    if (command == "tap" || command == "down" || command == "up") {
      out->op = command == "tap" ? ScriptOp::Tap : command == "down" ? ScriptOp::Down : ScriptOp::Up;
      return Point(command, words, out);
    }
    if (command == "key") {
      if (!WantArguments(command, words, 1, "a key name")) return false;
      out->op = ScriptOp::Key;
      out->key = ScriptKeyCode(words[1]);
      if (out->key == 0) return Fail("key: unknown key " + Quoted(words[1]));
      return true;
    }
    if (command == "type") {
      // The text is the rest of the line after the one blank that ends "type".
      std::string_view rest = text.substr(command.size());
      if (!rest.empty()) rest.remove_prefix(1);
      if (rest.empty()) return Fail("type wants text");
      std::optional<std::u16string> units = Utf8ToUtf16Strict(rest);
      if (!units) return Fail("type: the text is not valid UTF-8");
      out->op = ScriptOp::Type;
      out->text = std::move(*units);
      return true;
    }
    if (command == "screenshot") {
      if (!WantArguments(command, words, 1, "a file name")) return false;
      const std::string_view path = words[1];
      if (path.size() < 5 || !EqualsNoCase(path.substr(path.size() - 4), ".png")) {
        return Fail("screenshot: the file name must end in .png, not " + Quoted(path));
      }
      out->op = ScriptOp::Screenshot;
      out->path = std::string(path);
      return true;
    }
    if (command == "quit") {
      if (!WantArguments(command, words, 0, "")) return false;
      out->op = ScriptOp::Quit;
      return true;
    }
    return Fail("unknown command " + Quoted(command));
  }
};

}  // namespace

std::uint32_t ScriptKeyCode(std::string_view name) {
  for (const NamedKey& k : kNamedKeys) {
    if (EqualsNoCase(name, k.name)) return k.key;
  }
  if (name.size() == 1) {
    const char c = name[0];
    if (c >= '0' && c <= '9') return kVk0 + static_cast<std::uint32_t>(c - '0');
    const char lower = AsciiLower(c);
    if (lower >= 'a' && lower <= 'z') return kVkA + static_cast<std::uint32_t>(lower - 'a');
    return 0;
  }
  if ((name.size() == 2 || name.size() == 3) && (name[0] == 'F' || name[0] == 'f')) {
    const std::optional<long> n = Decimal(name.substr(1));
    if (n && *n >= 1 && *n <= 12 && name[1] != '0') {
      return kVkF1 + static_cast<std::uint32_t>(*n - 1);
    }
    return 0;
  }
  std::optional<long> code = Hexadecimal(name);
  if (!code) code = Decimal(name);
  if (code && *code >= 1 && *code <= 254) return static_cast<std::uint32_t>(*code);
  return 0;
}

bool ParseScript(std::string_view text, int screenWidth, int screenHeight, Script* script,
                 ScriptError* error) {
  Script parsed;
  if (script != nullptr) parsed.name = script->name;
  int line = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    ++line;
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = text.substr(start, end - start);
    start = end + 1;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);

    const LineParser parser{screenWidth, screenHeight, line, error};
    if (raw.find('\0') != std::string_view::npos) return parser.Fail("the line holds a NUL byte");
    const std::string_view trimmed = TrimBlanks(raw);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    // Keep the blanks at the end for `type`: they are part of its text.
    std::string_view body = raw;
    while (!body.empty() && IsBlank(body.front())) body.remove_prefix(1);
    ScriptCommand command;
    if (!parser.Parse(body, &command)) return false;
    parsed.commands.push_back(std::move(command));
  }
  if (script != nullptr) *script = std::move(parsed);
  return true;
}

bool LoadScript(const std::string& path, int screenWidth, int screenHeight, Script* script,
                ScriptError* error) {
  const auto fail = [&](std::string message) {
    if (error != nullptr) *error = ScriptError{0, std::move(message)};
    return false;
  };
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
  if (!file) return fail(std::string("cannot read it: ") + std::strerror(errno));
  std::string text;
  std::array<char, 65536> buffer{};
  for (;;) {
    const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), file.get());
    if (n == 0) break;
    if (text.size() + n > kMaxScriptBytes) {
      return fail("too large (more than " + std::to_string(kMaxScriptBytes) + " bytes)");
    }
    text.append(buffer.data(), n);
  }
  if (std::ferror(file.get())) return fail(std::string("cannot read it: ") + std::strerror(errno));
  Script parsed;
  parsed.name = path;
  if (!ParseScript(text, screenWidth, screenHeight, &parsed, error)) return false;
  if (script != nullptr) *script = std::move(parsed);
  return true;
}

std::string FormatScriptError(std::string_view name, const ScriptError& error) {
  std::string out = "script ";
  out += name;
  if (error.line > 0) out += ":" + std::to_string(error.line);
  out += ": " + error.message;
  return out;
}

}  // namespace pf
