// corvella-import-wlc: writes the sources of the default course from the
// pointed Hebrew text of the Westminster Leningrad Codex (one verse per line,
// "CHAPTER:VERSE <TAB> TEXT <TAB> BREAK"), one lesson per chapter.
//
//   corvella-import-wlc WLC_FOLDER COURSE_FOLDER
//
// Lesson n is the n-th chapter of Genesis, Exodus, Leviticus, Numbers,
// Deuteronomy, Joshua, Judges, Ruth, Jonah, Lamentations (245 chapters). Each
// lesson: its name, the days it is read, the source, the number of verses, a
// rule, the chapter's heading, then the verses, each opened by its number in
// Hebrew letters, in paragraphs cut at the text's open and closed breaks and
// kept to 2000 bytes; the first chapter of a book ends with an English credit.
// The index has a section per month of the Hebrew year. Everything is
// generated in memory and compiled once as a check before any file is written;
// the texts are written in the canonical source form (dropped marks gone), so
// that a dump of the built course gives the files back.

#include <array>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "calendar/schedule.h"
#include "tools/course_build.h"
#include "tools/course_documents.h"
#include "tools/course_pack.h"
#include "tools/course_source.h"
#include "tools/course_text.h"

namespace {

struct Book {
  const char* file;
  const char* hebrew;
  const char* english;
  int chapters;
};

constexpr std::array<Book, 10> kBooks = {{
    {"Gen.txt", "בראשית", "Genesis", 50},
    {"Exod.txt", "שמות", "Exodus", 40},
    {"Lev.txt", "ויקרא", "Leviticus", 27},
    {"Num.txt", "במדבר", "Numbers", 36},
    {"Deut.txt", "דברים", "Deuteronomy", 34},
    {"Josh.txt", "יהושע", "Joshua", 24},
    {"Judg.txt", "שופטים", "Judges", 21},
    {"Ruth.txt", "רות", "Ruth", 4},
    {"Jonah.txt", "יונה", "Jonah", 4},
    {"Lam.txt", "איכה", "Lamentations", 5},
}};

// Month names by Hebrew month number 1 (Nisan) to 13 (Adar II).
constexpr std::array<const char*, 14> kMonthNames = {
    "",     "ניסן", "אייר", "סיון", "תמוז", "אב",   "אלול",
    "תשרי", "חשון", "כסלו", "טבת",  "שבט",  "אדר",  "אדר ב'"};

// The section sizes the schedule gives, Tishrei to Elul.
constexpr std::array<int, 12> kSectionSizes = {16, 21, 20, 21, 22, 21, 18, 20, 22, 21, 22, 21};
constexpr std::array<int, 12> kSectionMonths = {7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6};

constexpr std::size_t kMaxParagraphBytes = 2000;
constexpr const char* kCredit =
    "Westminster Leningrad Codex (public domain), via the Open Scriptures Hebrew Bible";

struct Verse {
  int number = 0;
  std::u32string text;  // canonical
  char pause = 0;       // 'P', 'S' or 0
};

struct Chapter {
  const Book* book = nullptr;
  int number = 0;
  std::vector<Verse> verses;
};

std::u32string U(std::string_view utf8) {
  std::u32string text;
  std::size_t bad = 0;
  course::DecodeUtf8(utf8, &text, &bad);
  return text;
}

// A number in Hebrew letters (1-499): tens and units, 15 and 16 as 9+6, 9+7.
std::u32string HebrewDigits(int n) {
  static constexpr char32_t kUnits[] = U"\0אבגדהוזחט";
  static constexpr char32_t kTens[] = U"\0יכלמנסעפצ";
  static constexpr char32_t kHundreds[] = U"\0קרשת";
  std::u32string text;
  if (n >= 100) text.push_back(kHundreds[n / 100]);
  n %= 100;
  if (n == 15 || n == 16) {
    text.push_back(U'ט');
    text.push_back(n == 15 ? U'ו' : U'ז');
    return text;
  }
  if (n >= 10) text.push_back(kTens[n / 10]);
  if (n % 10 != 0) text.push_back(kUnits[n % 10]);
  return text;
}

// The same with geresh (one letter) or gershayim (before the last letter).
std::u32string HebrewNumeral(int n) {
  std::u32string text = HebrewDigits(n);
  if (text.size() == 1) {
    text.push_back(U'\'');
  } else {
    text.insert(text.size() - 1, 1, U'"');
  }
  return text;
}

std::u32string ChapterName(const Chapter& chapter) {
  return U(chapter.book->hebrew) + U" " + HebrewNumeral(chapter.number);
}

// "ימי הקריאה: א'-ג' תשרי; ל' אלול" from the schedule, days that occur in some
// year only.
std::u32string ReadingDays(int lesson) {
  struct Range {
    int month, first, last;
  };
  std::vector<Range> ranges;
  for (const ScheduleDay& day : LessonDays(lesson)) {
    if (day.occurrence == DayOccurrence::kNever) continue;
    if (!ranges.empty() && ranges.back().month == day.month && ranges.back().last + 1 == day.day) {
      ranges.back().last = day.day;
    } else {
      ranges.push_back(Range{day.month, day.day, day.day});
    }
  }
  std::u32string text = U("ימי הקריאה: ");
  for (std::size_t i = 0; i < ranges.size(); ++i) {
    if (i > 0) text += U"; ";
    text += HebrewNumeral(ranges[i].first);
    if (ranges[i].last != ranges[i].first) text += U"-" + HebrewNumeral(ranges[i].last);
    text += U" " + U(kMonthNames[static_cast<std::size_t>(ranges[i].month)]);
  }
  return text;
}

// The month whose index section lists `lesson`: that of its last day in the
// year's order, leaving out Elul 30 and Adar II.
int SectionMonth(int lesson) {
  int month = 0;
  for (const ScheduleDay& day : LessonDays(lesson)) {
    if (day.month == 13 || (day.month == 6 && day.day == 30)) continue;
    month = day.month;
  }
  return month;
}

bool ReadBook(const std::string& folder, const Book& book, std::vector<Chapter>* chapters,
              course::DropCounts* drops, std::string* error) {
  std::string bytes;
  const std::string path = folder + "/" + book.file;
  if (!course::ReadFile(path, &bytes, error)) return false;
  std::size_t start = 0;
  int lineNumber = 0;
  const std::size_t first = chapters->size();
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = bytes.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    auto fail = [&](const std::string& what) {
      *error = path + ":" + std::to_string(lineNumber) + ": " + what;
      return false;
    };
    if (line.empty()) continue;
    const std::size_t tab1 = line.find('\t');
    const std::size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string::npos) return fail("expected CHAPTER:VERSE, TAB, TEXT, TAB, BREAK");
    int chapterNumber = 0;
    int verseNumber = 0;
    char tail = 0;
    if (std::sscanf(line.c_str(), "%d:%d%c", &chapterNumber, &verseNumber, &tail) != 3 ||
        tail != '\t') {
      return fail("bad CHAPTER:VERSE");
    }
    const std::string pause = line.substr(tab2 + 1);
    if (pause != "" && pause != "P" && pause != "S") return fail("BREAK is not P, S or empty");
    const std::size_t have = chapters->size() - first;
    if (chapterNumber == static_cast<int>(have) + 1 && verseNumber == 1) {
      chapters->push_back(Chapter{&book, chapterNumber, {}});
    } else if (have == 0 || chapterNumber != chapters->back().number ||
               verseNumber != static_cast<int>(chapters->back().verses.size()) + 1) {
      return fail("verses out of order");
    }
    std::u32string text;
    std::size_t bad = 0;
    if (!course::DecodeUtf8(line.substr(tab1 + 1, tab2 - tab1 - 1), &text, &bad)) {
      return fail("not valid UTF-8");
    }
    Verse verse;
    verse.number = verseNumber;
    verse.pause = pause.empty() ? 0 : pause[0];
    if (auto textError = course::CanonicalText(text, true, &verse.text, drops)) {
      return fail("column " + std::to_string(textError->column) + ": " + textError->message);
    }
    chapters->back().verses.push_back(std::move(verse));
  }
  if (static_cast<int>(chapters->size() - first) != book.chapters) {
    *error = path + ": " + std::to_string(chapters->size() - first) + " chapters, expected " +
             std::to_string(book.chapters);
    return false;
  }
  return true;
}

// Bytes a text takes in BookCode.
std::size_t StoredSize(const std::u32string& text) {
  std::vector<course::BookCluster> clusters;
  course::TextToClusters(text, true, 1, &clusters, nullptr);
  std::size_t size = 0;
  for (const course::BookCluster& cluster : clusters) size += cluster.bytes.size();
  return size;
}

course::LessonSource MakeLesson(int lesson, const Chapter& chapter) {
  course::LessonSource source;
  auto add = [&source](std::uint8_t style, std::uint8_t param, std::u32string text) {
    course::SourceParagraph paragraph;
    paragraph.style = style;
    paragraph.param = param;
    paragraph.text = std::move(text);
    source.paragraphs.push_back(std::move(paragraph));
  };
  add(0xD1, 0, ChapterName(chapter));
  add(0xD1, 0, ReadingDays(lesson));
  add(0xD2, 0, U("מקור: כתב יד לנינגרד (מהדורת וסטמינסטר)"));
  add(0xB2, 0, HebrewNumeral(static_cast<int>(chapter.verses.size())) + U(" פסוקים"));
  add(0xC7, 210, U"");
  add(0xD1, 0, U("ספר ") + U(chapter.book->hebrew) + U(", פרק ") + HebrewNumeral(chapter.number));
  std::u32string paragraph;
  std::size_t paragraphSize = 0;
  for (const Verse& verse : chapter.verses) {
    const std::u32string text = U"(" + HebrewDigits(verse.number) + U") " + verse.text;
    const std::size_t size = StoredSize(text);
    if (!paragraph.empty() && paragraphSize + 1 + size > kMaxParagraphBytes) {
      add(0xB1, 0, std::move(paragraph));
      paragraph.clear();
      paragraphSize = 0;
    }
    if (!paragraph.empty()) {
      paragraph += U' ';
      ++paragraphSize;
    }
    paragraph += text;
    paragraphSize += size;
    if (verse.pause != 0) {
      add(0xB1, 0, std::move(paragraph));
      paragraph.clear();
      paragraphSize = 0;
    }
  }
  if (!paragraph.empty()) add(0xB1, 0, std::move(paragraph));
  if (chapter.number == 1) {
    std::string credit = std::string(chapter.book->english) + ", chapter 1 (and the book's " +
                         "other chapters in the lessons that follow). Text: " + kCredit + ".";
    add(0x81, 0, U(credit));
  }
  return source;
}

bool MakeIndex(const std::vector<Chapter>& chapters, course::IndexSource* index,
               std::string* error) {
  std::map<int, std::vector<int>> sections;
  for (int lesson = 1; lesson <= static_cast<int>(chapters.size()); ++lesson) {
    sections[SectionMonth(lesson)].push_back(lesson);
  }
  for (std::size_t s = 0; s < kSectionMonths.size(); ++s) {
    const std::vector<int>& lessons = sections[kSectionMonths[s]];
    if (static_cast<int>(lessons.size()) != kSectionSizes[s]) {
      *error = std::string("the section of ") + kMonthNames[static_cast<std::size_t>(kSectionMonths[s])] +
               " has " + std::to_string(lessons.size()) + " lessons, expected " +
               std::to_string(kSectionSizes[s]);
      return false;
    }
    course::SourceIndexEntry heading;
    heading.kind = course::IndexEntryKind::kHeading;
    heading.style = course::kHeadingStyle;
    heading.level = course::kHeadingLevel;
    heading.text = U(kMonthNames[static_cast<std::size_t>(kSectionMonths[s])]);
    index->entries.push_back(heading);
    for (int lesson : lessons) {
      course::SourceIndexEntry entry;
      entry.kind = course::IndexEntryKind::kLesson;
      entry.number = static_cast<std::uint16_t>(lesson);
      entry.style = course::kLessonEntryStyle;
      entry.level = course::kLessonEntryLevel;
      entry.text = ChapterName(chapters[static_cast<std::size_t>(lesson - 1)]);
      index->entries.push_back(entry);
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: corvella-import-wlc WLC_FOLDER COURSE_FOLDER\n");
    return 2;
  }
  const std::string from = argv[1];
  const std::string to = argv[2];
  std::vector<Chapter> chapters;
  course::DropCounts drops;
  std::string error;
  for (const Book& book : kBooks) {
    if (!ReadBook(from, book, &chapters, &drops, &error)) {
      std::fprintf(stderr, "corvella-import-wlc: %s\n", error.c_str());
      return 1;
    }
  }
  if (static_cast<int>(chapters.size()) != kLessonCount) {
    std::fprintf(stderr, "corvella-import-wlc: %zu chapters, expected %d\n", chapters.size(),
                 kLessonCount);
    return 1;
  }

  // Every file's text, checked by compiling it before anything is written.
  std::vector<std::pair<std::string, std::string>> files;
  int paragraphs = 0;
  for (int lesson = 1; lesson <= kLessonCount; ++lesson) {
    const std::string name = course::LessonFileName(lesson);
    const course::LessonSource source =
        MakeLesson(lesson, chapters[static_cast<std::size_t>(lesson - 1)]);
    std::string text = course::WriteLessonSource(source);
    course::LessonSource parsed;
    course::SourceError sourceError;
    std::vector<std::uint8_t> document;
    if (!course::ParseLessonSource(name, text, &parsed, &sourceError) ||
        !course::CompileLesson(name, parsed, &document, nullptr, &sourceError)) {
      std::fprintf(stderr, "corvella-import-wlc: %s\n", sourceError.Format().c_str());
      return 1;
    }
    paragraphs += static_cast<int>(parsed.paragraphs.size());
    files.emplace_back(name, std::move(text));
  }
  course::IndexSource index;
  if (!MakeIndex(chapters, &index, &error)) {
    std::fprintf(stderr, "corvella-import-wlc: %s\n", error.c_str());
    return 1;
  }
  {
    std::string text = course::WriteIndexSource(index);
    course::IndexSource parsed;
    course::SourceError sourceError;
    std::vector<std::uint8_t> document;
    if (!course::ParseIndexSource(course::kIndexFileName, text, &parsed, &sourceError) ||
        !course::CompileIndex(course::kIndexFileName, parsed, kLessonCount, &document, nullptr,
                              &sourceError)) {
      std::fprintf(stderr, "corvella-import-wlc: %s\n", sourceError.Format().c_str());
      return 1;
    }
    files.emplace_back(course::kIndexFileName, std::move(text));
  }
  for (const auto& [name, text] : files) {
    if (!course::WriteFileAtomically(to + "/" + name, text, &error)) {
      std::fprintf(stderr, "corvella-import-wlc: %s\n", error.c_str());
      return 1;
    }
  }
  long dropped = 0;
  for (const auto& [what, count] : drops) dropped += count;
  std::printf("wrote %d lessons (%d paragraphs) and the index (%zu entries) to %s\n", kLessonCount,
              paragraphs, index.entries.size(), to.c_str());
  std::printf("dropped marks: %ld\n", dropped);
  for (const auto& [what, count] : drops) std::printf("  %-40s %ld\n", what.c_str(), count);
  return 0;
}
