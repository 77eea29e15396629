// The registry store: values of every type round-trip through the file, the
// file is replaced atomically, damaged files and bad lines are kept and never
// lost, and writers in several processes don't lose each other's values.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr char16_t kKey[] = u"Software\\Tarnwick\\Corvella";

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteFile(const fs::path& p, std::string_view text) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << text;
}

Bytes Utf16Bytes(std::u16string_view text, bool terminator = true) {
  Bytes b;
  for (char16_t u : text) {
    b.push_back(static_cast<std::uint8_t>(u & 0xFF));
    b.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  if (terminator) b.insert(b.end(), {0, 0});
  return b;
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/corvella-registry-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    file_ = dir_ / "registry.reg";
    ::setenv("CORVELLA_REGISTRY", file_.c_str(), 1);
  }
  void TearDown() override {
    pf::SetRegistryWriteFault(pf::RegWriteFault::None);
    ::unsetenv("CORVELLA_REGISTRY");
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }

  // Writes one value through a freshly created key.
  long Put(std::u16string_view name, std::uint32_t type, const Bytes& data,
           const char16_t* key = kKey) {
    pf::HKey k = nullptr;
    long rc = pf::CreateKey(key, pf::kKeyAllAccess, &k);
    if (rc != pf::kRegSuccess) return rc;
    rc = pf::WriteValue(k, std::u16string(name).c_str(), type, data.data(),
                        static_cast<std::uint32_t>(data.size()));
    pf::CloseKey(k);
    return rc;
  }

  // Reads one value through a key opened for reading; false when absent.
  bool Get(std::u16string_view name, std::uint32_t* type, Bytes* data, const char16_t* key = kKey) {
    pf::HKey k = nullptr;
    if (pf::OpenKey(key, pf::kKeyRead, &k) != pf::kRegSuccess) return false;
    std::uint32_t size = 0;
    const std::u16string n(name);
    bool ok = pf::QueryValue(k, n.c_str(), type, &size) == pf::kRegSuccess;
    if (ok) {
      data->assign(size, 0xEE);
      ok = pf::ReadValue(k, n.c_str(), type, data->data(), &size) == pf::kRegSuccess &&
           size == data->size();
    }
    pf::CloseKey(k);
    return ok;
  }

  std::vector<fs::path> DirEntries() const {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(dir_)) out.push_back(e.path().filename());
    return out;
  }

  std::vector<fs::path> Asides() const {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(dir_)) {
      if (e.path().filename().string().starts_with("registry.reg.damaged-")) out.push_back(e.path());
    }
    return out;
  }

  fs::path dir_;
  fs::path file_;
};

struct RoundTripCase {
  const char* what;
  std::u16string name;
  std::uint32_t type;
  Bytes data;
};

std::vector<RoundTripCase> RoundTripCases() {
  Bytes big(100 * 1024);
  std::mt19937 rng(7);
  for (auto& b : big) b = static_cast<std::uint8_t>(rng());
  std::u16string longText(40000, u'\u05D0');
  return {
      {"ascii text", u"FontName", pf::kRegText, Utf16Bytes(u"Taamey David")},
      {"hebrew and astral text", u"Text", pf::kRegText, Utf16Bytes(u"\u05E9\u05DC\u05D5\u05DD \U0001F600 é")},
      {"quotes and backslashes", u"Path \"q\" \\x", pf::kRegText, Utf16Bytes(u"C:\\dir\\\"x\"\\")},
      {"empty text", u"Empty", pf::kRegText, Utf16Bytes(u"")},
      {"text without terminator", u"NoTerm", pf::kRegText, Utf16Bytes(u"abc", false)},
      {"text with odd size", u"Odd", pf::kRegText, Bytes{'a', 0, 'b'}},
      {"text with embedded zero", u"Zero", pf::kRegText, Utf16Bytes(std::u16string(u"a\0b", 3))},
      {"text with newline", u"Lines", pf::kRegText, Utf16Bytes(u"one\ntwo\r\tthree")},
      {"unpaired surrogate", u"Surrogate", pf::kRegText, Utf16Bytes(std::u16string(1, char16_t{0xD800}))},
      {"zero-size text", u"Nothing", pf::kRegText, Bytes{}},
      {"binary with zeros", u"SearchString", pf::kRegBinary, Bytes{0xE0, 0, 0xFF, 0, 0}},
      {"empty binary", u"Blob", pf::kRegBinary, Bytes{}},
      {"number", u"Flags", pf::kRegNumber, Bytes{0x40, 0x00, 0x14, 0xD1}},
      {"short number", u"Short", pf::kRegNumber, Bytes{1, 2}},
      {"other type", u"Multi", 7, Bytes{'a', 0, 0, 0}},
      {"large type number", u"Odd type", 0x12345678, Bytes{9}},
      {"unnamed value", u"", pf::kRegText, Utf16Bytes(u"default")},
      {"hebrew name", u"\u05E9\u05DD", pf::kRegBinary, Bytes{1}},
      {"100 KB binary", u"Big", pf::kRegBinary, big},
      {"long text", u"LongText", pf::kRegText, Utf16Bytes(longText)},
  };
}

TEST_F(RegistryTest, EveryTypeAndSizeRoundTrips) {
  const auto cases = RoundTripCases();
  for (const auto& c : cases) ASSERT_EQ(Put(c.name, c.type, c.data), pf::kRegSuccess) << c.what;
  for (const auto& c : cases) {
    std::uint32_t type = 0;
    Bytes data;
    ASSERT_TRUE(Get(c.name, &type, &data)) << c.what;
    EXPECT_EQ(type, c.type) << c.what;
    EXPECT_EQ(data, c.data) << c.what;
  }
  // The file parses cleanly and formats back to the same text.
  const std::string text = ReadFile(file_);
  pf::RegistryData data;
  const auto parsed = pf::ParseRegistryText(
      std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), data);
  EXPECT_TRUE(parsed.headerOk);
  EXPECT_TRUE(parsed.problems.empty());
  EXPECT_EQ(pf::FormatRegistryText(data), text);
}

TEST_F(RegistryTest, FileIsReadableExportText) {
  ASSERT_EQ(Put(u"FontName", pf::kRegText, Utf16Bytes(u"\u05D3\u05D5\u05D3 \"D\"")), 0);
  ASSERT_EQ(Put(u"Flags", pf::kRegNumber, Bytes{0x40, 0x00, 0x14, 0xD1}), 0);
  ASSERT_EQ(Put(u"SearchString", pf::kRegBinary, Bytes{0xE0, 0xE1, 0}), 0);
  ASSERT_EQ(Put(u"Odd", pf::kRegText, Bytes{'a', 0, 'b'}), 0);
  ASSERT_EQ(Put(u"Other", 11, Bytes{1, 2}), 0);
  EXPECT_EQ(ReadFile(file_),
            "Windows Registry Editor Version 5.00\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Tarnwick\\Corvella]\n"
            "\"FontName\"=\"\u05D3\u05D5\u05D3 \\\"D\\\"\"\n"
            "\"Flags\"=dword:d1140040\n"
            "\"SearchString\"=hex:e0,e1,00\n"
            "\"Odd\"=hex(1):61,00,62\n"
            "\"Other\"=hex(b):01,02\n");
  // Long lists wrap with continuation lines of at most 80 columns.
  ASSERT_EQ(Put(u"Big", pf::kRegBinary, Bytes(300, 0xAB)), 0);
  std::istringstream lines(ReadFile(file_));
  int continued = 0;
  for (std::string line; std::getline(lines, line);) {
    EXPECT_LE(line.size(), 80u) << line;
    if (line.ends_with("\\")) ++continued;
  }
  EXPECT_GE(continued, 3);
}

TEST_F(RegistryTest, ReadsHandWrittenVariants) {
  // BOM, CR LF, comments, blank lines, upper-case hex, continuation lines,
  // a key given twice and a value given twice (the last one wins).
  WriteFile(file_,
            "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
            "\r\n"
            "; written by hand\r\n"
            "[hkey_current_user\\SOFTWARE\\tarnwick\\corvella]\r\n"
            "\"Flags\"=dword:0000000A\r\n"
            "\"Blob\"=hex:01,02,\\\r\n"
            "    03,04\r\n"
            "  \"Lesson\" = dword:1\r\n"
            "[HKEY_CURRENT_USER\\Software\\Tarnwick\\Corvella]\r\n"
            "\"Flags\"=dword:0000000b\r\n");
  std::uint32_t type = 0;
  Bytes data;
  ASSERT_TRUE(Get(u"flags", &type, &data));
  EXPECT_EQ(data, (Bytes{0x0B, 0, 0, 0}));
  ASSERT_TRUE(Get(u"Blob", &type, &data));
  EXPECT_EQ(type, pf::kRegBinary);
  EXPECT_EQ(data, (Bytes{1, 2, 3, 4}));
  ASSERT_TRUE(Get(u"Lesson", &type, &data));
  EXPECT_EQ(data, (Bytes{1, 0, 0, 0}));

  // A file saved as UTF-16 by another editor reads the same.
  std::u16string wide = u"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n"
                        u"[HKEY_CURRENT_USER\\Software\\Tarnwick\\Corvella]\r\n"
                        u"\"FontName\"=\"\u05D0\"\r\n";
  Bytes raw = Utf16Bytes(wide, false);
  WriteFile(file_, std::string(raw.begin(), raw.end()));
  ASSERT_TRUE(Get(u"FontName", &type, &data));
  EXPECT_EQ(data, Utf16Bytes(u"\u05D0"));
}

TEST_F(RegistryTest, KeysValuesAndResultCodes) {
  pf::HKey k = nullptr;
  EXPECT_EQ(pf::OpenKey(kKey, pf::kKeyRead, &k), pf::kRegFileNotFound);
  EXPECT_EQ(k, nullptr);
  EXPECT_FALSE(fs::exists(file_));  // reading never creates the file

  ASSERT_EQ(pf::CreateKey(kKey, pf::kKeyAllAccess, &k), pf::kRegSuccess);
  ASSERT_NE(k, nullptr);
  EXPECT_EQ(pf::CloseKey(k), pf::kRegSuccess);
  EXPECT_TRUE(fs::exists(file_));  // an empty key is stored at once

  // Case-insensitive paths; parents of a created key exist.
  for (const char16_t* path : {u"software\\tarnwick\\CORVELLA", u"Software", u"SOFTWARE\\Tarnwick", u""}) {
    k = nullptr;
    EXPECT_EQ(pf::OpenKey(path, pf::kKeyRead, &k), pf::kRegSuccess);
    pf::CloseKey(k);
  }
  EXPECT_EQ(pf::OpenKey(u"Software\\Tarn", pf::kKeyRead, &k), pf::kRegFileNotFound);
  EXPECT_EQ(pf::OpenKey(u"Software\\\\Tarnwick", pf::kKeyRead, &k), pf::kRegInvalidParameter);
  EXPECT_EQ(pf::CreateKey(u"Software\\", pf::kKeyAllAccess, &k), pf::kRegInvalidParameter);

  ASSERT_EQ(Put(u"Lesson", pf::kRegNumber, Bytes{5, 0, 0, 0}), 0);
  ASSERT_EQ(pf::OpenKey(kKey, pf::kKeyRead, &k), pf::kRegSuccess);
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(pf::QueryValue(k, u"LESSON", &type, &size), pf::kRegSuccess);
  EXPECT_EQ(type, pf::kRegNumber);
  EXPECT_EQ(size, 4u);
  std::uint8_t small[3] = {9, 9, 9};
  size = sizeof small;
  EXPECT_EQ(pf::ReadValue(k, u"Lesson", &type, small, &size), pf::kRegMoreData);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(small[0], 9);  // nothing written on "more data"
  EXPECT_EQ(pf::QueryValue(k, u"Missing", &type, &size), pf::kRegFileNotFound);
  EXPECT_EQ(pf::ReadValue(k, u"Lesson", &type, small, nullptr), pf::kRegInvalidParameter);
  // Writing through a key opened for reading is refused and changes nothing.
  const std::string before = ReadFile(file_);
  const std::uint8_t one[4] = {1, 0, 0, 0};
  EXPECT_EQ(pf::WriteValue(k, u"Lesson", pf::kRegNumber, one, 4), pf::kRegAccessDenied);
  EXPECT_EQ(ReadFile(file_), before);
  pf::CloseKey(k);

  EXPECT_EQ(pf::CloseKey(nullptr), pf::kRegInvalidHandle);
  EXPECT_EQ(pf::QueryValue(nullptr, u"Lesson", &type, &size), pf::kRegInvalidHandle);
  // Names that the file can't hold are refused.
  EXPECT_EQ(Put(u"bad\nname", pf::kRegBinary, Bytes{1}), pf::kRegInvalidParameter);
  EXPECT_EQ(Put(std::u16string(1, char16_t{0xDC00}), pf::kRegBinary, Bytes{1}), pf::kRegInvalidParameter);
  EXPECT_STREQ(pf::RegResultName(pf::kRegMoreData), "more data");
}

TEST_F(RegistryTest, PathFollowsTheEnvironment) {
  ASSERT_EQ(Put(u"A", pf::kRegBinary, Bytes{1}), 0);
  const fs::path other = dir_ / "sub" / "deeper" / "other.reg";
  ::setenv("CORVELLA_REGISTRY", other.c_str(), 1);
  EXPECT_EQ(pf::RegistryFilePath(), other.string());
  std::uint32_t type = 0;
  Bytes data;
  EXPECT_FALSE(Get(u"A", &type, &data));
  ASSERT_EQ(Put(u"B", pf::kRegBinary, Bytes{2}), 0);  // creates the directories
  EXPECT_TRUE(fs::exists(other));

  ::unsetenv("CORVELLA_REGISTRY");
  ::setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
  EXPECT_EQ(pf::RegistryFilePath(), (dir_ / "config" / "corvella" / "registry.reg").string());
  ASSERT_EQ(Put(u"C", pf::kRegBinary, Bytes{3}), 0);
  EXPECT_EQ(fs::status(dir_ / "config" / "corvella").permissions() & fs::perms::all, fs::perms::owner_all);
  ::setenv("XDG_CONFIG_HOME", "relative/path", 1);  // not absolute: ignored
  const char* home = std::getenv("HOME");
  const std::string savedHome = home != nullptr ? home : "";
  ::setenv("HOME", dir_.c_str(), 1);
  EXPECT_EQ(pf::RegistryFilePath(), (dir_ / ".config" / "corvella" / "registry.reg").string());
  ::unsetenv("XDG_CONFIG_HOME");
  if (home != nullptr) ::setenv("HOME", savedHome.c_str(), 1);
  else ::unsetenv("HOME");
}

// A write that fails at any step leaves the old file byte for byte, and no
// temporary file behind.
TEST_F(RegistryTest, FailedWriteKeepsTheOldFile) {
  ASSERT_EQ(Put(u"Flags", pf::kRegNumber, Bytes{1, 2, 3, 4}), 0);
  const std::string before = ReadFile(file_);
  for (auto fault : {pf::RegWriteFault::CreateTemp, pf::RegWriteFault::WriteTemp,
                     pf::RegWriteFault::SyncTemp, pf::RegWriteFault::Rename}) {
    pf::SetRegistryWriteFault(fault);
    EXPECT_EQ(Put(u"Flags", pf::kRegNumber, Bytes{9, 9, 9, 9}), pf::kRegCantWrite);
    EXPECT_EQ(Put(u"New", pf::kRegBinary, Bytes(5000, 1)), pf::kRegCantWrite);
    EXPECT_EQ(ReadFile(file_), before);
    EXPECT_EQ(DirEntries().size(), 2u);  // the file and its lock file
  }
  pf::SetRegistryWriteFault(pf::RegWriteFault::None);
  EXPECT_EQ(Put(u"Flags", pf::kRegNumber, Bytes{9, 9, 9, 9}), 0);
}

TEST_F(RegistryTest, DiskFullKeepsTheOldFile) {
  ASSERT_EQ(Put(u"Flags", pf::kRegNumber, Bytes{1, 2, 3, 4}), 0);
  const std::string before = ReadFile(file_);
  // A child limited to small files: the temporary file can't grow.
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1024, 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const long rc = Put(u"Big", pf::kRegBinary, Bytes(100000, 7));
    ::_exit(rc == pf::kRegCantWrite ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(ReadFile(file_), before);
  EXPECT_EQ(DirEntries().size(), 2u);
}

TEST_F(RegistryTest, UnwritableLocationFailsCleanly) {
  // A directory that can't be created (a file stands in its way).
  WriteFile(dir_ / "blocker", "x");
  ::setenv("CORVELLA_REGISTRY", (dir_ / "blocker" / "registry.reg").c_str(), 1);
  pf::HKey k = nullptr;
  EXPECT_EQ(pf::CreateKey(kKey, pf::kKeyAllAccess, &k), pf::kRegCantWrite);
  EXPECT_EQ(k, nullptr);
}

TEST_F(RegistryTest, ReadOnlyDirectoryKeepsTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions don't bind root";
  ASSERT_EQ(Put(u"Flags", pf::kRegNumber, Bytes{1, 2, 3, 4}), 0);
  const std::string before = ReadFile(file_);
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_NE(Put(u"Flags", pf::kRegNumber, Bytes{5, 6, 7, 8}), 0);
  fs::permissions(dir_, fs::perms::owner_all);
  EXPECT_EQ(ReadFile(file_), before);
}

TEST_F(RegistryTest, DamagedFileIsKeptAsideAndReadsAsEmpty) {
  static constexpr char kJunk[] = "not a registry\0\xFF\n[x]\n";
  const std::string junk(kJunk, sizeof kJunk - 1);
  WriteFile(file_, junk);
  ::testing::internal::CaptureStderr();
  pf::HKey k = nullptr;
  EXPECT_EQ(pf::OpenKey(kKey, pf::kKeyRead, &k), pf::kRegFileNotFound);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("renamed to"), std::string::npos) << err;
  auto asides = Asides();
  ASSERT_EQ(asides.size(), 1u);
  EXPECT_EQ(ReadFile(asides[0]), junk);
  EXPECT_FALSE(fs::exists(file_));

  // A writer meeting a damaged file keeps it aside too and starts afresh.
  WriteFile(file_, "garbage");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Put(u"Flags", pf::kRegNumber, Bytes{1, 0, 0, 0}), 0);
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(Asides().size(), 2u);
  std::uint32_t type = 0;
  Bytes data;
  EXPECT_TRUE(Get(u"Flags", &type, &data));
}

TEST_F(RegistryTest, BadLinesAreSkippedAndTheRestIsKept) {
  const std::string original =
      "Windows Registry Editor Version 5.00\n"
      "\n"
      "[HKEY_CURRENT_USER\\Software\\Tarnwick\\Corvella]\n"
      "\"Flags\"=dword:d1140040\n"
      "\"Broken\"=dword:xyz\n"
      "this line means nothing\n"
      "\"Bad\\q\"=\"x\"\n"
      "\"Hex\"=hex:01,zz\n"
      "\"Lesson\"=dword:00000007\n"
      "\"Cut\"=hex:01,\\\n"
      "[HKEY_CURRENT_USER\\Software\\Other]\n"
      "\"Keep\"=\"me\"\n";
  WriteFile(file_, original);
  ::testing::internal::CaptureStderr();
  std::uint32_t type = 0;
  Bytes data;
  ASSERT_TRUE(Get(u"Flags", &type, &data));
  ASSERT_TRUE(Get(u"Lesson", &type, &data));
  EXPECT_EQ(data, (Bytes{7, 0, 0, 0}));
  EXPECT_FALSE(Get(u"Broken", &type, &data));
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("line 5"), std::string::npos) << err;
  EXPECT_NE(err.find("line 8"), std::string::npos) << err;
  EXPECT_NE(err.find("line 10"), std::string::npos) << err;

  // A write keeps every good value (other keys too) and the old file aside.
  ::testing::internal::CaptureStderr();
  ASSERT_EQ(Put(u"FontSize", pf::kRegNumber, Bytes{12, 0, 0, 0}), 0);
  ::testing::internal::GetCapturedStderr();
  for (auto name : {u"Flags", u"Lesson", u"FontSize"}) EXPECT_TRUE(Get(name, &type, &data));
  // The cut list does not swallow the next key.
  ASSERT_TRUE(Get(u"Keep", &type, &data, u"Software\\Other"));
  EXPECT_EQ(data, Utf16Bytes(u"me"));
  EXPECT_FALSE(Get(u"Cut", &type, &data));
  auto asides = Asides();
  ASSERT_EQ(asides.size(), 1u);
  EXPECT_EQ(ReadFile(asides[0]), original);
  // The rewritten file is clean: no further copies on later writes.
  ASSERT_EQ(Put(u"FontSize", pf::kRegNumber, Bytes{13, 0, 0, 0}), 0);
  EXPECT_EQ(Asides().size(), 1u);
}

TEST_F(RegistryTest, WritersInSeveralProcessesAllLand) {
  constexpr int kProcesses = 4;
  constexpr int kValues = 25;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int failures = 0;
      for (int v = 0; v < kValues; ++v) {
        const char16_t name[] = {u'P', static_cast<char16_t>(u'0' + p), u'V',
                                 static_cast<char16_t>(u'A' + v), 0};
        if (Put(name, pf::kRegNumber, Bytes{static_cast<std::uint8_t>(v), 0, 0, 0}) != 0) ++failures;
      }
      ::_exit(failures);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  pf::RegistryData data;
  const std::string text = ReadFile(file_);
  ASSERT_TRUE(pf::ParseRegistryText(
                  std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), data)
                  .headerOk);
  ASSERT_EQ(data.keys.size(), 1u);
  EXPECT_EQ(data.keys[0].values.size(), static_cast<std::size_t>(kProcesses * kValues));
}

// A writer killed at any moment leaves the old or the new file, never a torn one.
TEST_F(RegistryTest, KilledWriterLeavesAFileThatParses) {
  ASSERT_EQ(Put(u"Seed", pf::kRegBinary, Bytes(20000, 1)), 0);
  std::mt19937 rng(42);
  for (int round = 0; round < 15; ++round) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (std::uint8_t i = 0;; ++i) Put(u"Seed", pf::kRegBinary, Bytes(20000 + i, i));
    }
    ::usleep(std::uniform_int_distribution<unsigned>(1000, 30000)(rng));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    const std::string text = ReadFile(file_);
    pf::RegistryData data;
    const auto parsed = pf::ParseRegistryText(
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), data);
    ASSERT_TRUE(parsed.headerOk) << "round " << round;
    ASSERT_TRUE(parsed.problems.empty()) << "round " << round;
    ASSERT_EQ(data.keys.size(), 1u);
    ASSERT_EQ(data.keys[0].values.size(), 1u);
    EXPECT_GE(data.keys[0].values[0].data.size(), 20000u);
  }
  // The next write clears away what killed writers left behind.
  EXPECT_EQ(Put(u"After", pf::kRegBinary, Bytes{1}), 0);
  EXPECT_EQ(DirEntries().size(), 2u);
}

TEST(RegistryParse, MalformedInputNeverBreaksTheParser) {
  const std::vector<std::string> inputs = {
      "",
      "Windows Registry Editor Version 5.00",
      "Windows Registry Editor Version 5.00\n\"a\"=hex:01,\\",
      "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\a]\n\"a\"=hex:01,\\",
      "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\a]\n\"a",
      "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\a]\n\"a\"=\"\\",
      "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\a]\n\"a\"=hex(:01",
      "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\a]\n\"a\"=hex(123456789):01",
      "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\a]\n\"a\"=dword:123456789",
      "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\a]\n\"a\"=hex:001",
      "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\a]\n\"\xC3\"=\"x\"",
      "Windows Registry Editor Version 5.00\n[\n[]\n[-HKEY_CURRENT_USER\\a]\n[HKEY_CURRENT_USER\\\\a]",
      "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\a]\n\"a\"=-\n@=\"x\"\n\"\"=\"y\"",
      std::string("\xFF\xFE", 2),
      std::string("\xFF\xFEW", 3),
  };
  for (const auto& in : inputs) {
    pf::RegistryData data;
    const auto result = pf::ParseRegistryText(
        std::span(reinterpret_cast<const std::uint8_t*>(in.data()), in.size()), data);
    // Whatever was accepted formats and parses back to the same.
    const std::string text = pf::FormatRegistryText(data);
    pf::RegistryData again;
    const auto second = pf::ParseRegistryText(
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), again);
    EXPECT_TRUE(second.headerOk);
    EXPECT_TRUE(second.problems.empty()) << in;
    EXPECT_EQ(pf::FormatRegistryText(again), text) << in;
    if (in.size() > 40) {
      EXPECT_TRUE(result.headerOk) << in;
    }
  }
}

}  // namespace
