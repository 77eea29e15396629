// The settings routines and the loading and saving of the Settings: defaults,
// the 16-bit and decimal-text readings, what is written at shut-down and when,
// and that running out of memory while loading never overwrites stored values.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/settings.h"
#include "platform/registry.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Utf16Bytes(std::u16string_view text, bool terminator = true) {
  Bytes b;
  for (char16_t u : text) {
    b.push_back(static_cast<std::uint8_t>(u & 0xFF));
    b.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  if (terminator) b.insert(b.end(), {0, 0});
  return b;
}

Bytes Dword(std::uint32_t n) {
  return {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
          static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
}

std::u16string Text(const char16_t* s) { return s != nullptr ? std::u16string(s) : std::u16string(); }

ArticleView* const kSomeView = reinterpret_cast<ArticleView*>(alignof(std::max_align_t));

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/corvella-settings-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    file_ = dir_ / "registry.reg";
    ::setenv("CORVELLA_REGISTRY", file_.c_str(), 1);
    App = AppState{};
    SetAllocFailureAt(0);
    ViewTopLine = nullptr;
  }
  void TearDown() override {
    SetAllocFailureAt(0);
    pf::SetRegistryWriteFault(pf::RegWriteFault::None);
    ReleaseBlock(App.Bookmarks);
    App = AppState{};
    ViewTopLine = nullptr;
    ::unsetenv("CORVELLA_REGISTRY");
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  static void Put(const char16_t* name, std::uint32_t type, const Bytes& data,
                  const char16_t* key = kSettingsKey) {
    pf::HKey k = nullptr;
    ASSERT_EQ(pf::CreateKey(key, pf::kKeyAllAccess, &k), 0);
    ASSERT_EQ(pf::WriteValue(k, name, type, data.data(), static_cast<std::uint32_t>(data.size())), 0);
    pf::CloseKey(k);
  }

  // The stored value, or nothing (type 0, no bytes) when it is absent.
  static std::pair<std::uint32_t, Bytes> Get(const char16_t* name) {
    pf::HKey k = nullptr;
    if (pf::OpenKey(kSettingsKey, pf::kKeyRead, &k) != 0) return {};
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::pair<std::uint32_t, Bytes> out;
    if (pf::QueryValue(k, name, &type, &size) == 0) {
      Bytes data(size);
      if (pf::ReadValue(k, name, &type, data.data(), &size) == 0) out = {type, data};
    }
    pf::CloseKey(k);
    return out;
  }

  static std::vector<std::string> StoredNames() {
    const std::string text = FileText();
    pf::RegistryData data;
    pf::ParseRegistryText(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), data);
    std::vector<std::string> names;
    for (const auto& key : data.keys) {
      for (const auto& v : key.values) names.push_back(v.name);
    }
    return names;
  }

  static std::string FileText() {
    std::ifstream in(pf::RegistryFilePath(), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

  // Puts `text` in place as a new file, as an editor that saves atomically does.
  void ReplaceFileText(const std::string& text) {
    const fs::path temp = dir_ / "incoming";
    {
      std::ofstream out(temp, std::ios::binary | std::ios::trunc);
      out << text;
    }
    fs::rename(temp, file_);
  }

  fs::path dir_;
  fs::path file_;
};

TEST_F(SettingsTest, DefaultsWhenBothKeysAreAbsent) {
  LoadSettings();
  EXPECT_EQ(App.Font.FontName[0], u'\0');
  EXPECT_EQ(App.Font.FontSize, 0);
  EXPECT_EQ(App.Font.FontAsciiBase, 1488);
  EXPECT_EQ(App.LastPosition, 0);
  EXPECT_EQ(App.Flags, 0xD1140040u);
  EXPECT_EQ(App.Lesson, 0);
  EXPECT_EQ(App.SearchString[0], 0);
  EXPECT_EQ(App.Bookmarks, nullptr);
  EXPECT_EQ(App.BookmarkCount, 0);
  EXPECT_TRUE(SettingLoaded(kLoadedBookmarks));
  for (auto [name, def] : {std::pair{u"IgnoreActivate", 0}, {u"FullScreen", 0}, {u"AllowSipInHebrewSearch", 1},
                           {u"MenuBarOnBottom", 0}, {u"SurroundingGutter", 0}}) {
    EXPECT_EQ(ReadNumber(kDeviceOptionsKey, name, def), def);
  }

  // "Program Path" is written at start: this executable's path.
  const auto [type, path] = Get(u"Program Path");
  EXPECT_EQ(type, pf::kRegText);
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  EXPECT_EQ(path, Utf16Bytes(std::u16string(self.begin(), self.end())));

  // At shut-down without a view only the always-written and nonzero values go.
  SaveSettings();
  EXPECT_EQ(StoredNames(), (std::vector<std::string>{"Program Path", "FontAsciiBase", "Flags"}));
  EXPECT_EQ(Get(u"Flags"), (std::pair{pf::kRegNumber, Dword(0xD1140040u)}));
  EXPECT_EQ(Get(u"FontAsciiBase"), (std::pair{pf::kRegNumber, Dword(1488)}));
}

TEST_F(SettingsTest, StoredValuesLoad) {
  Put(u"FontName", pf::kRegText, Utf16Bytes(u"Taamey David"));
  Put(u"SearchString", pf::kRegBinary, Bytes{0xE0, 0xE1, 0x2A, 0});
  Put(u"FontSize", pf::kRegNumber, Dword(14));
  Put(u"FontAsciiBase", pf::kRegNumber, Dword(224));
  Put(u"LastPosition", pf::kRegNumber, Dword(70000));  // low 16 bits: 4464
  Put(u"Flags", pf::kRegNumber, Dword(0x12345678));
  Put(u"Lesson", pf::kRegText, Utf16Bytes(u"70000"));  // decimal text, low 16 bits
  LoadSettings();
  EXPECT_EQ(Text(App.Font.FontName), u"Taamey David");
  EXPECT_STREQ(reinterpret_cast<const char*>(App.SearchString), "\xE0\xE1*");
  EXPECT_EQ(App.Font.FontSize, 14);
  EXPECT_EQ(App.Font.FontAsciiBase, 224);
  EXPECT_EQ(App.LastPosition, 4464);
  EXPECT_EQ(App.Flags, 0x12345678u);
  EXPECT_EQ(App.Lesson, 4464);
}

struct NumberCase {
  const char* what;
  std::uint32_t type;
  Bytes data;
  std::int32_t expected;
};

TEST_F(SettingsTest, ReadNumberTakesNumbersAndDecimalText) {
  const NumberCase cases[] = {
      {"number", pf::kRegNumber, Dword(0xFFFFFFFEu), -2},
      {"decimal text", pf::kRegText, Utf16Bytes(u"250"), 250},
      {"minus is a unit like any other", pf::kRegText, Utf16Bytes(u"-5"), static_cast<std::int32_t>((45u - 48u) * 10u + 5u)},
      {"letters are not checked", pf::kRegText, Utf16Bytes(u"1a"), 10 + ('a' - 48)},
      {"wraps in 32 bits", pf::kRegText, Utf16Bytes(u"4294967297"), 1},
      {"empty text", pf::kRegText, Utf16Bytes(u""), 0},
      {"stops at the first zero unit", pf::kRegText, Utf16Bytes(std::u16string(u"12\0" u"34", 5)), 12},
      {"text without terminator", pf::kRegText, Utf16Bytes(u"42", false), 42},
      {"binary read as text", pf::kRegBinary, Bytes{'7', 0, '1', 0}, 71},
      {"odd byte at the end ignored", pf::kRegBinary, Bytes{'9', 0, '9'}, 9},
      {"empty binary", pf::kRegBinary, Bytes{}, 0},
      {"short number: default", pf::kRegNumber, Bytes{1, 2}, 77},
      {"long number: default", pf::kRegNumber, Bytes{1, 2, 3, 4, 5}, 77},
  };
  for (const auto& c : cases) {
    Put(u"Value", c.type, c.data, u"Software\\Brellum");
    EXPECT_EQ(ReadNumber(kDeviceOptionsKey, u"Value", 77), c.expected) << c.what;
    EXPECT_EQ(ReadNumber(kDeviceOptionsKey, u"Absent", 77), 77) << c.what;
  }
  EXPECT_EQ(ReadNumber(u"software\\nowhere", u"Value", -9), -9);
}

TEST_F(SettingsTest, StringsAreCutToTheirFields) {
  const std::u16string longName = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  Put(u"FontName", pf::kRegText, Utf16Bytes(longName));
  Bytes pattern(40, 'x');
  pattern.push_back(0);
  Put(u"SearchString", pf::kRegBinary, pattern);
  LoadSettings();
  EXPECT_EQ(Text(App.Font.FontName), longName.substr(0, 31));
  EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(App.SearchString)), 33u);
}

struct ByteStringCase {
  const char* what;
  bool stored;
  Bytes data;
  std::string expected;  // the buffer's text afterwards; it held "old" before
};

TEST_F(SettingsTest, ReadSettingByteStringStaysInsideValueAndBuffer) {
  const ByteStringCase cases[] = {
      {"absent", false, {}, "old"},
      {"empty", true, {}, "old"},
      {"starts with 0", true, {0, 'a'}, "old"},
      {"no terminator stored", true, {'a', 'b'}, "ab"},
      {"stops at 0", true, {'a', 0, 'b'}, "a"},
      {"cut to capacity - 1", true, {'1', '2', '3', '4', '5', '6', 0}, "1234"},
  };
  for (const auto& c : cases) {
    ::unlink(file_.c_str());
    if (c.stored) Put(u"S", pf::kRegBinary, c.data);
    std::uint8_t buffer[6] = {'o', 'l', 'd', 0, 0x55, 0x55};
    ReadSettingByteString(u"S", buffer, 5);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer)), c.expected) << c.what;
    EXPECT_EQ(buffer[5], 0x55) << c.what;
  }
}

TEST_F(SettingsTest, ReadersAndWritersOfEachType) {
  EXPECT_EQ(ReadSettingString(u"Absent"), nullptr);
  EXPECT_EQ(ReadSettingBytes(u"Absent"), nullptr);

  ASSERT_EQ(WriteSettingString(u"T", u"\u05E9\u05DC\u05D5\u05DD"), 1);
  EXPECT_EQ(Get(u"T"), (std::pair{pf::kRegText, Utf16Bytes(u"\u05E9\u05DC\u05D5\u05DD")}));
  char16_t* text = ReadSettingString(u"T");
  EXPECT_EQ(Text(text), u"\u05E9\u05DC\u05D5\u05DD");
  ReleaseBlock(text);
  // A stored text without terminator, or of odd size, still comes back terminated.
  Put(u"T", pf::kRegText, Bytes{'a', 0, 'b', 0, 'c'});
  text = ReadSettingString(u"T");
  EXPECT_EQ(Text(text), u"ab");
  ReleaseBlock(text);

  const std::uint8_t pattern[] = {0xE0, 0x3F, 0};
  ASSERT_EQ(WriteSettingByteString(u"B", pattern), 1);
  EXPECT_EQ(Get(u"B"), (std::pair{pf::kRegBinary, Bytes{0xE0, 0x3F, 0}}));
  std::uint8_t* bytes = ReadSettingBytes(u"B");
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(Bytes(bytes, bytes + 3), (Bytes{0xE0, 0x3F, 0}));
  ReleaseBlock(bytes);

  ASSERT_EQ(WriteSettingNumber(u"N", -3), 1);
  EXPECT_EQ(Get(u"N"), (std::pair{pf::kRegNumber, Dword(0xFFFFFFFDu)}));
  EXPECT_EQ(ReadSettingNumber(u"N", 0), -3);

  // Blobs: the size is reported; a missing value gives the fallback and leaves
  // the length alone.
  const std::uint16_t marks[] = {5, 17, 0};
  ASSERT_EQ(WriteSettingBlob(u"Bookmarks", marks, sizeof marks), 1);
  std::uint32_t length = 99;
  void* blob = ReadSettingBlob(u"Bookmarks", nullptr, &length);
  ASSERT_NE(blob, nullptr);
  EXPECT_EQ(length, 6u);
  EXPECT_EQ(std::memcmp(blob, marks, sizeof marks), 0);
  ReleaseBlock(blob);
  int fallback = 0;
  length = 99;
  EXPECT_EQ(ReadSettingBlob(u"Nothing", &fallback, &length), &fallback);
  EXPECT_EQ(length, 99u);
  ASSERT_EQ(WriteSettingBlob(u"Empty", nullptr, 0), 1);
  blob = ReadSettingBlob(u"Empty", nullptr, &length);
  EXPECT_NE(blob, nullptr);
  EXPECT_EQ(length, 0u);
  ReleaseBlock(blob);
}

TEST_F(SettingsTest, WritingBackFollowsItsConditions) {
  Put(u"FontName", pf::kRegText, Utf16Bytes(u"Old Face"));
  Put(u"SearchString", pf::kRegBinary, Bytes{'o', 'l', 'd', 0});
  Put(u"FontSize", pf::kRegNumber, Dword(12));
  Put(u"LastPosition", pf::kRegNumber, Dword(30));
  Put(u"Flags", pf::kRegText, Utf16Bytes(u"1074003968"));  // 0x40040000 as text
  Put(u"Lesson", pf::kRegNumber, Dword(17));
  LoadSettings();
  EXPECT_EQ(App.Flags, 0x40040000u);

  // The run empties the pattern, the size and the lesson: the stored values
  // stay (nothing is deleted). No view: "LastPosition" stays too.
  App.SearchString[0] = 0;
  App.Font.FontSize = 0;
  App.Lesson = 0;
  App.Flags |= kFlagReverse;
  App.Font.FontAsciiBase = 97;
  SaveSettings();
  EXPECT_EQ(Get(u"SearchString").second, (Bytes{'o', 'l', 'd', 0}));
  EXPECT_EQ(Get(u"FontSize").second, Dword(12));
  EXPECT_EQ(Get(u"Lesson").second, Dword(17));
  EXPECT_EQ(Get(u"LastPosition").second, Dword(30));
  EXPECT_EQ(Get(u"Flags"), (std::pair{pf::kRegNumber, Dword(0x40040800u)}));  // bits by hand kept
  EXPECT_EQ(Get(u"FontAsciiBase").second, Dword(97));
  EXPECT_EQ(Get(u"FontName").second, Utf16Bytes(u"Old Face"));

  // With a view its topLine is written; new text values replace the old ones.
  App.View = kSomeView;
  ViewTopLine = [](const ArticleView*) -> std::uint16_t { return 321; };
  std::memcpy(App.SearchString, "new", 4);
  std::u16string face = u"New Face";
  std::copy(face.begin(), face.end() + 1, App.Font.FontName);
  SaveSettings();
  App.View = nullptr;
  EXPECT_EQ(Get(u"LastPosition").second, Dword(321));
  EXPECT_EQ(Get(u"SearchString").second, (Bytes{'n', 'e', 'w', 0}));
  EXPECT_EQ(Get(u"FontName").second, Utf16Bytes(u"New Face"));

  // Fields without their terminator are written cut, never read past.
  std::memset(App.SearchString, 'z', sizeof App.SearchString);
  std::fill(std::begin(App.Font.FontName), std::end(App.Font.FontName), u'q');
  SaveSettings();
  EXPECT_EQ(Get(u"SearchString").second.size(), 34u);
  EXPECT_EQ(Get(u"FontName").second, Utf16Bytes(std::u16string(31, u'q')));

  // A write that fails at shut-down is ignored and the file stays whole.
  const std::string before = FileText();
  pf::SetRegistryWriteFault(pf::RegWriteFault::Rename);
  ::testing::internal::CaptureStderr();
  App.Lesson = 99;
  SaveSettings();
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(FileText(), before);
}

TEST_F(SettingsTest, ProgramPathIsWrittenEvenWhenTheFileIsDamaged) {
  ReplaceFileText("this is not a registry file\n\"Flags\"=dword:00000000\n");
  ::testing::internal::CaptureStderr();
  LoadSettings();
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("renamed to"), std::string::npos);
  EXPECT_EQ(Get(u"Program Path").first, pf::kRegText);
  EXPECT_EQ(App.Flags, kDefaultFlags);
  bool keptAside = false;
  for (const auto& e : fs::directory_iterator(dir_)) {
    keptAside |= e.path().filename().string().starts_with("registry.reg.damaged-");
  }
  EXPECT_TRUE(keptAside);
}

// Memory runs out at every possible allocation of LoadSettings in turn. The
// values read before the failure may be written back; those not yet read keep
// exactly what was stored.
TEST_F(SettingsTest, RunningOutOfMemoryWhileLoadingKeepsStoredValues) {
  struct Stored {
    const char16_t* name;
    SettingBit bit;
    std::uint32_t type;
    Bytes data;
    std::int32_t number;  // what a number reads as; -1 for the two strings
  };
  // Numbers stored as text, so that every step allocates.
  const std::vector<Stored> stored = {
      {u"FontName", kLoadedFontName, pf::kRegText, Utf16Bytes(u"Face"), -1},
      {u"SearchString", kLoadedSearchString, pf::kRegBinary, Bytes{'a', 'b', 0}, -1},
      {u"FontSize", kLoadedFontSize, pf::kRegText, Utf16Bytes(u"11"), 11},
      {u"FontAsciiBase", kLoadedFontAsciiBase, pf::kRegText, Utf16Bytes(u"224"), 224},
      {u"LastPosition", kLoadedLastPosition, pf::kRegText, Utf16Bytes(u"5"), 5},
      {u"Flags", kLoadedFlags, pf::kRegText, Utf16Bytes(u"7"), 7},
      {u"Lesson", kLoadedLesson, pf::kRegText, Utf16Bytes(u"33"), 33},
  };
  for (const auto& s : stored) Put(s.name, s.type, s.data);
  const Bytes bookmarks = {5, 0, 17, 0, 0, 0};
  Put(u"Bookmarks", pf::kRegBinary, bookmarks);
  const std::string original = FileText();

  bool completed = false;
  for (unsigned long n = 1; n < 50 && !completed; ++n) {
    ReplaceFileText(original);
    ReleaseBlock(App.Bookmarks);
    App = AppState{};
    SetAllocFailureAt(n);
    LoadSettings();
    const bool failed = CheckedAllocCount() >= n;
    SetAllocFailureAt(0);
    completed = !failed;
    SaveSettings();  // what ShutDown does after the failure, or at the normal end

    // A failure while reading the Settings ends the load before the bookmarks.
    // (A failure inside LoadBookmarks is noticed through ShutDown reaching
    // SaveSettings, which a once-only ShutDown does only for the first failure
    // of this test process; the stored list is checked below either way.)
    if (completed || n <= 7) {
      EXPECT_EQ(SettingLoaded(kLoadedBookmarks), completed) << "n = " << n;
    }
    int loadedCount = 0;
    for (const auto& s : stored) {
      const auto [type, data] = Get(s.name);
      if (SettingLoaded(s.bit)) {
        ++loadedCount;  // written back as read: the same text, or the number as a number
        if (s.number >= 0) {
          EXPECT_EQ(ReadSettingNumber(s.name, -1), s.number) << "n = " << n;
        } else {
          EXPECT_EQ(data, s.data) << "n = " << n;
        }
      } else {
        EXPECT_EQ(type, s.type) << "n = " << n;
        EXPECT_EQ(data, s.data) << "n = " << n;
      }
    }
    // Each failure stops the loading at the value being read.
    EXPECT_EQ(loadedCount, completed ? 7 : std::min(static_cast<int>(n) - 1, 7)) << "n = " << n;
    // The bookmarks, read last, are never replaced by an empty list.
    if (!completed) {
      EXPECT_EQ(Get(u"Bookmarks").second, bookmarks) << "n = " << n;
    }
  }
  EXPECT_TRUE(completed);
  // After the complete load every value reads as it was stored.
  EXPECT_EQ(Text(App.Font.FontName), u"Face");
  EXPECT_EQ(App.Font.FontSize, 11);
  EXPECT_EQ(App.Font.FontAsciiBase, 224);
  EXPECT_EQ(App.LastPosition, 5);
  EXPECT_EQ(App.Flags, 7u);
  EXPECT_EQ(App.Lesson, 33);
  EXPECT_EQ(ReadSettingNumber(u"Lesson", 0), 33);
  EXPECT_EQ(ReadSettingNumber(u"Flags", 0), 7);
}

}  // namespace
