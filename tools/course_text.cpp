#include "tools/course_text.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "content/book_code.h"

namespace course {
namespace {

constexpr char32_t kFirstLetter = 0x05D0;
constexpr char32_t kLastLetter = 0x05EA;
constexpr char32_t kDagesh = 0x05BC;
constexpr char32_t kShinDot = 0x05C1;
constexpr char32_t kSinDot = 0x05C2;
constexpr char32_t kHolam = 0x05B9;
constexpr char32_t kHolamHaser = 0x05BA;
constexpr char32_t kQamats = 0x05B8;
constexpr char32_t kQamatsQatan = 0x05C7;
constexpr char32_t kDottedCircle = 0x25CC;
constexpr char32_t kReplacement = 0xFFFD;

constexpr std::array<const char*, 27> kLetterNames = {
    "alef", "bet",   "gimel",       "dalet",  "he",  "vav",          "zayin",
    "het",  "tet",   "yod",         "final kaf", "kaf", "lamed",     "final mem",
    "mem",  "final nun", "nun",     "samekh", "ayin", "final pe",    "pe",
    "final tsadi", "tsadi", "qof", "resh",   "shin", "tav"};

bool IsLetter(char32_t c) { return c >= kFirstLetter && c <= kLastLetter; }

bool IsBookLetterCode(std::uint8_t b) {
  return (b >= kBookFinalKafQamats && b <= kBookResh) || (b >= kBookFirstForm && b <= 90) ||
         (b >= kBookAlef && b <= kBookTav);
}

// Combining marks of the Hebrew block that may follow a letter.
bool IsHebrewMark(char32_t c) {
  return (c >= 0x0591 && c <= 0x05BD) || c == 0x05BF || c == kShinDot || c == kSinDot ||
         c == 0x05C4 || c == 0x05C5 || c == kQamatsQatan;
}

bool IsVowelPoint(char32_t c) { return c >= 0x05B0 && c <= 0x05BB && c != kHolamHaser; }

// Marks dropped wherever they stand, with the description the report uses.
const char* DroppedMarkName(char32_t c) {
  if (c >= 0x0591 && c <= 0x05AF) return "cantillation mark";
  switch (c) {
    case 0x05BD: return "meteg U+05BD";
    case 0x05BF: return "rafe U+05BF";
    case 0x05C4: return "upper dot U+05C4";
    case 0x05C5: return "lower dot U+05C5";
    default: return nullptr;
  }
}

int CombiningClass(char32_t c) {
  switch (c) {
    case 0x05B0: return 10;
    case 0x05B1: return 11;
    case 0x05B2: return 12;
    case 0x05B3: return 13;
    case 0x05B4: return 14;
    case 0x05B5: return 15;
    case 0x05B6: return 16;
    case 0x05B7: return 17;
    case 0x05B8: case kQamatsQatan: return 18;
    case 0x05B9: case kHolamHaser: return 19;
    case 0x05BB: return 20;
    case kDagesh: return 21;
    case kShinDot: return 24;
    case kSinDot: return 25;
    default: return 230;
  }
}

void SortMarks(std::u32string* marks) {
  std::stable_sort(marks->begin(), marks->end(),
                   [](char32_t a, char32_t b) { return CombiningClass(a) < CombiningClass(b); });
}

// The content library's decomposition of every pointed form, and the point
// code of every vowel point, read once from its tables.
struct InverseTables {
  struct Form {
    std::uint8_t code = 0;
    char32_t letter = 0;
    std::u32string marks;
  };
  std::vector<Form> forms;                 // codes 16-20 and 65-90
  std::array<std::uint8_t, 16> pointCode{};  // U+05B0 + i -> 21..31, 0 if none
};

const InverseTables& Inverse() {
  static const InverseTables tables = [] {
    InverseTables t;
    auto add = [&t](int code) {
      const BookCodeDecomposition d = DecomposeBookCode(static_cast<std::uint8_t>(code));
      InverseTables::Form form;
      form.code = static_cast<std::uint8_t>(code);
      form.letter = d.letter;
      for (int i = 0; i < d.markCount && i < 2; ++i) form.marks.push_back(d.marks[i]);
      t.forms.push_back(form);
    };
    for (int code = kBookFinalKafQamats; code <= kBookResh; ++code) add(code);
    for (int code = kBookFirstForm; code <= 90; ++code) add(code);
    for (int code = kBookFirstPoint; code <= kBookLastPoint; ++code) {
      const BookCodeDecomposition d = DecomposeBookCode(static_cast<std::uint8_t>(code));
      if (d.markCount >= 1 && d.marks[0] >= 0x05B0 && d.marks[0] < 0x05C0) {
        t.pointCode[d.marks[0] - 0x05B0] = static_cast<std::uint8_t>(code);
      }
    }
    return t;
  }();
  return tables;
}

std::uint8_t PointCode(char32_t mark) {
  if (mark < 0x05B0 || mark >= 0x05C0) return 0;
  return Inverse().pointCode[mark - 0x05B0];
}

std::string LetterName(char32_t letter) {
  if (IsLetter(letter)) return kLetterNames[letter - kFirstLetter];
  return "a letter";
}

void CountDrop(DropCounts* drops, const std::string& what) {
  if (drops != nullptr) ++(*drops)[what];
}

// The display-order bytes of a letter with the marks that follow it (already
// stripped of the marks that are dropped everywhere).
std::string EncodeLetter(char32_t letter, std::u32string marks, DropCounts* drops) {
  // Holam haser stays a holam of its own; the rest may merge into a form.
  std::u32string mergeable;
  std::u32string separate;
  for (char32_t m : marks) {
    if (m == kHolamHaser) {
      separate.push_back(kHolam);
    } else {
      mergeable.push_back(m == kQamatsQatan ? kQamats : m);
    }
  }
  const InverseTables::Form* best = nullptr;
  for (const InverseTables::Form& form : Inverse().forms) {
    if (form.letter != letter) continue;
    std::u32string left = mergeable;
    bool covered = true;
    for (char32_t m : form.marks) {
      auto it = std::find(left.begin(), left.end(), m);
      if (it == left.end()) {
        covered = false;
        break;
      }
      left.erase(it);
    }
    if (covered && (best == nullptr || form.marks.size() > best->marks.size())) best = &form;
  }
  std::uint8_t code = static_cast<std::uint8_t>(kBookAlef + (letter - kFirstLetter));
  if (best != nullptr) {
    code = best->code;
    for (char32_t m : best->marks) mergeable.erase(std::find(mergeable.begin(), mergeable.end(), m));
  }
  std::u32string points;
  for (char32_t m : mergeable) {
    if (IsVowelPoint(m) && PointCode(m) != 0) {
      points.push_back(m);
    } else {
      char what[64];
      std::snprintf(what, sizeof what, "%s U+%04X on %s",
                    m == kDagesh ? "dagesh" : (m == kShinDot ? "shin dot" : "sin dot"),
                    static_cast<unsigned>(m), LetterName(letter).c_str());
      CountDrop(drops, what);
    }
  }
  points += separate;
  SortMarks(&points);
  std::string bytes;
  for (auto it = points.rbegin(); it != points.rend(); ++it) {
    bytes.push_back(static_cast<char>(PointCode(*it)));
  }
  bytes.push_back(static_cast<char>(code));
  return bytes;
}

char32_t HebrewPunctuation(char32_t c) {
  switch (c) {
    case 0x05BE: return U'-';
    case 0x05C3: return U':';
    case 0x05C0: return U'|';
    case 0x05F3: return U'\'';
    case 0x05F4: return U'"';
    default: return 0;
  }
}

bool IsAsciiLetterOrBrace(char32_t c) {
  return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || c == U'{' || c == U'}';
}

}  // namespace

bool DecodeUtf8(std::string_view bytes, std::u32string* out, std::size_t* badByte) {
  out->clear();
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    std::size_t need = 0;
    char32_t value = 0;
    char32_t least = 0;
    if (b0 < 0x80) {
      out->push_back(b0);
      ++i;
      continue;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
      need = 1, value = b0 & 0x1Fu, least = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      need = 2, value = b0 & 0x0Fu, least = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
      need = 3, value = b0 & 0x07u, least = 0x10000;
    } else {
      *badByte = i;
      return false;
    }
    if (i + need >= bytes.size()) {
      *badByte = i;
      return false;
    }
    for (std::size_t k = 1; k <= need; ++k) {
      const auto b = static_cast<unsigned char>(bytes[i + k]);
      if ((b & 0xC0u) != 0x80u) {
        *badByte = i;
        return false;
      }
      value = (value << 6) | (b & 0x3Fu);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
      *badByte = i;
      return false;
    }
    out->push_back(value);
    i += need + 1;
  }
  return true;
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  for (char32_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::string DescribeChar(char32_t c) {
  char buffer[96];
  const char* name = nullptr;
  std::string letter;
  if (IsLetter(c)) {
    letter = "Hebrew letter " + LetterName(c);
    name = letter.c_str();
  } else if (c >= 0x0591 && c <= 0x05AF) {
    name = "Hebrew cantillation mark";
  } else if (c >= 0x05B0 && c <= 0x05C7) {
    static constexpr std::array<const char*, 24> kMarks = {
        "sheva", "hataf segol", "hataf patah", "hataf qamats", "hiriq", "tsere",
        "segol", "patah", "qamats", "holam", "holam haser for vav", "qubuts",
        "dagesh or mapiq", "meteg", "maqaf", "rafe", "paseq", "shin dot",
        "sin dot", "sof pasuq", "upper dot", "lower dot", "nun hafukha", "qamats qatan"};
    name = kMarks[c - 0x05B0];
  } else if (c < 0x20 || c == 0x7F) {
    name = "a control character";
  } else if (c < 0x7F) {
    std::snprintf(buffer, sizeof buffer, "'%c'", static_cast<char>(c));
    return buffer;
  }
  if (name != nullptr) {
    std::snprintf(buffer, sizeof buffer, "U+%04X (%s)", static_cast<unsigned>(c), name);
  } else {
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
  }
  return buffer;
}

std::optional<TextError> TextToClusters(std::u32string_view text, bool rightToLeft,
                                        int firstColumn, std::vector<BookCluster>* out,
                                        DropCounts* drops) {
  out->clear();
  std::size_t i = 0;
  while (i < text.size()) {
    const char32_t c = text[i];
    const int column = firstColumn + static_cast<int>(i);
    BookCluster cluster;
    cluster.column = column;
    if (IsLetter(c)) {
      if (!rightToLeft) {
        return TextError{column, DescribeChar(c) +
                                     " cannot stand in a left-to-right paragraph: its text is "
                                     "shown unconverted (use a right-to-left style)"};
      }
      std::u32string marks;
      std::size_t j = i + 1;
      for (; j < text.size() && IsHebrewMark(text[j]); ++j) {
        if (const char* dropped = DroppedMarkName(text[j])) {
          CountDrop(drops, dropped);
        } else {
          marks.push_back(text[j]);
        }
      }
      cluster.bidiChar = c;
      cluster.bytes = EncodeLetter(c, marks, drops);
      out->push_back(std::move(cluster));
      i = j;
      continue;
    }
    if (IsHebrewMark(c)) {
      return TextError{column, DescribeChar(c) + " does not follow a Hebrew letter"};
    }
    char32_t ascii = c;
    if (const char32_t mapped = HebrewPunctuation(c)) ascii = mapped;
    if (ascii < 0x20 || ascii > 0x7E) {
      return TextError{column, DescribeChar(c) + " cannot be stored in BookCode"};
    }
    if (rightToLeft && IsAsciiLetterOrBrace(ascii)) {
      return TextError{column, DescribeChar(c) +
                                   " cannot stand in a right-to-left paragraph: BookCode keeps "
                                   "the Hebrew letters and pointed forms at the codes of the "
                                   "Latin letters and braces"};
    }
    cluster.bidiChar = ascii;
    cluster.bytes.push_back(static_cast<char>(ascii));
    out->push_back(std::move(cluster));
    ++i;
  }
  return std::nullopt;
}

std::u32string ClusterToUnicode(std::string_view bytes, bool* faithful) {
  auto unfaithful = [faithful] {
    if (faithful != nullptr) *faithful = false;
  };
  std::u32string result;
  if (bytes.empty()) return result;
  const auto last = static_cast<std::uint8_t>(bytes.back());
  std::u32string points;
  for (std::size_t k = 0; k + 1 < bytes.size(); ++k) {
    const auto b = static_cast<std::uint8_t>(bytes[k]);
    if (!IsBookPoint(b)) {
      unfaithful();
      continue;
    }
    points.insert(points.begin(), DecomposeBookCode(b).marks[0]);
  }
  if (IsBookPoint(last)) {  // points with no letter to sit on
    points.insert(points.begin(), DecomposeBookCode(last).marks[0]);
    result.push_back(kDottedCircle);
    SortMarks(&points);
    result += points;
    unfaithful();
    return result;
  }
  if (!IsBookLetterCode(last)) {
    if (!points.empty() || last < 0x20 || last > 0x7E) {
      unfaithful();
      result.push_back(kReplacement);
      return result;
    }
    result.push_back(last);
    return result;
  }
  const BookCodeDecomposition d = DecomposeBookCode(last);
  std::u32string marks;
  for (int k = 0; k < d.markCount && k < 2; ++k) marks.push_back(d.marks[k]);
  marks += points;
  SortMarks(&marks);
  // A separate holam that would merge into a pointed form is a holam haser.
  if (EncodeLetter(d.letter, marks, nullptr) != bytes) {
    std::u32string haser = marks;
    for (auto it = haser.rbegin(); it != haser.rend(); ++it) {
      if (*it == kHolam) {
        *it = kHolamHaser;
        break;
      }
    }
    if (EncodeLetter(d.letter, haser, nullptr) == bytes) {
      marks = haser;
    } else {
      unfaithful();
    }
  }
  result.push_back(d.letter);
  result += marks;
  return result;
}

std::optional<TextError> CanonicalText(std::u32string_view text, bool rightToLeft,
                                       std::u32string* out, DropCounts* drops) {
  std::vector<BookCluster> clusters;
  if (auto error = TextToClusters(text, rightToLeft, 1, &clusters, drops)) return error;
  out->clear();
  for (const BookCluster& cluster : clusters) {
    if (rightToLeft) {
      *out += ClusterToUnicode(cluster.bytes, nullptr);
    } else {
      out->push_back(cluster.bidiChar);
    }
  }
  return std::nullopt;
}

}  // namespace course
