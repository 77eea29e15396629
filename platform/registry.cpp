#include "platform/registry.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <new>
#include <optional>
#include <unordered_map>

#include "platform/utf.h"

namespace pf {

struct RegKey {
  std::string file;    // the registry file this key lives in
  std::string path;    // UTF-8, with the root, as the caller spelled it
  std::uint32_t access = 0;
};

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kUserRoot = "HKEY_CURRENT_USER";
constexpr std::size_t kMaxFileSize = 64u << 20;    // larger files are refused, not touched
constexpr std::uint32_t kMaxValueSize = 16u << 20;  // larger writes are refused
constexpr std::size_t kMaxNameUnits = 16383;
constexpr std::size_t kMaxReportedProblems = 10;
constexpr int kHexColumns = 78;

RegWriteFault writeFault = RegWriteFault::None;

// ---- Text helpers ----

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualFold(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

std::string Folded(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = FoldAscii(c);
  return out;
}

bool StartsWithFold(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && EqualFold(s.substr(0, prefix.size()), prefix);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Parses 1 to `maxDigits` hex digits that make up all of `s`.
std::optional<std::uint32_t> ParseHexNumber(std::string_view s, std::size_t maxDigits) {
  if (s.empty() || s.size() > maxDigits) return std::nullopt;
  std::uint32_t n = 0;
  for (char c : s) {
    const int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    n = (n << 4) | static_cast<std::uint32_t>(d);
  }
  return n;
}

// Reads a quoted string starting at s[0] == '"'; returns its unescaped content
// and leaves `s` just after the closing quote. Only \\ and \" are escapes.
std::optional<std::string> ReadQuoted(std::string_view& s, std::string& error) {
  std::string out;
  std::size_t i = 1;
  while (i < s.size()) {
    const char c = s[i];
    if (c == '"') {
      s.remove_prefix(i + 1);
      return out;
    }
    if (c == '\\') {
      if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) {
        error = "unknown escape in a quoted string (only \\\\ and \\\" are allowed)";
        return std::nullopt;
      }
      out.push_back(s[i + 1]);
      i += 2;
      continue;
    }
    out.push_back(c);
    ++i;
  }
  error = "missing closing quote";
  return std::nullopt;
}

void AppendQuoted(std::string& out, std::string_view s) {
  out.push_back('"');
  for (char c : s) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
}

// ---- Values <-> text ----

std::vector<std::uint8_t> TextToUtf16Bytes(const std::u16string& text) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve((text.size() + 1) * 2);
  for (char16_t u : text) {
    bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

// The UTF-8 form of a type-1 value when it can be written as a quoted string.
std::optional<std::string> QuotableText(const std::vector<std::uint8_t>& data) {
  if (data.size() < 2 || data.size() % 2 != 0) return std::nullopt;
  const std::size_t units = data.size() / 2 - 1;
  if (data[units * 2] != 0 || data[units * 2 + 1] != 0) return std::nullopt;
  std::u16string text;
  text.reserve(units);
  for (std::size_t i = 0; i < units; ++i) {
    const auto u = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    if (u < 0x20) return std::nullopt;  // no zero units or control characters inside
    text.push_back(u);
  }
  std::string utf8 = Utf16ToUtf8(text);
  if (Utf8ToUtf16(utf8) != text) return std::nullopt;  // unpaired surrogates
  return utf8;
}

void AppendHexList(std::string& out, std::size_t lineStart, const std::vector<std::uint8_t>& data) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::size_t column = out.size() - lineStart;
  for (std::size_t i = 0; i < data.size(); ++i) {
    const bool last = i + 1 == data.size();
    if (column + 3 > static_cast<std::size_t>(kHexColumns)) {
      out += "\\\n  ";
      column = 2;
    }
    out.push_back(kDigits[data[i] >> 4]);
    out.push_back(kDigits[data[i] & 0xF]);
    column += 2;
    if (!last) {
      out.push_back(',');
      ++column;
    }
  }
}

void AppendValue(std::string& out, const RegValueData& v) {
  const std::size_t lineStart = out.size();
  if (v.name.empty()) {
    out.push_back('@');
  } else {
    AppendQuoted(out, v.name);
  }
  out.push_back('=');
  if (v.type == kRegText) {
    if (auto text = QuotableText(v.data)) {
      AppendQuoted(out, *text);
      out.push_back('\n');
      return;
    }
  }
  if (v.type == kRegNumber && v.data.size() == 4) {
    char buf[16];
    const std::uint32_t n = static_cast<std::uint32_t>(v.data[0]) |
                            (static_cast<std::uint32_t>(v.data[1]) << 8) |
                            (static_cast<std::uint32_t>(v.data[2]) << 16) |
                            (static_cast<std::uint32_t>(v.data[3]) << 24);
    std::snprintf(buf, sizeof buf, "dword:%08x", n);
    out += buf;
    out.push_back('\n');
    return;
  }
  if (v.type == kRegBinary) {
    out += "hex:";
  } else {
    char buf[24];
    std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
    out += buf;
  }
  AppendHexList(out, lineStart, v.data);
  out.push_back('\n');
}

// ---- Parsing ----

struct Parser {
  RegistryData& out;
  ParseResult& result;
  std::unordered_map<std::string, std::size_t> keyIndex;  // folded path -> keys[]
  std::vector<std::unordered_map<std::string, std::size_t>> valueIndex;  // per key
  std::optional<std::size_t> current;  // key the value lines belong to
  bool currentBad = false;             // after a bad key line: its values are skipped

  void Problem(std::size_t line, std::string_view what) {
    result.problems.push_back("line " + std::to_string(line) + ": " + std::string(what));
  }

  void KeyLine(std::size_t lineNo, std::string_view line) {
    current.reset();
    currentBad = true;
    line = TrimRight(line);
    if (line.size() < 2 || line.back() != ']') return Problem(lineNo, "key line without closing ']'");
    const std::string_view path = line.substr(1, line.size() - 2);
    if (path.empty() || path.front() == '-') {
      return Problem(lineNo, "key deletions and empty key names are not supported");
    }
    if (!StartsWithFold(path, "HKEY_")) return Problem(lineNo, "key path does not start with a root (HKEY_...)");
    std::size_t start = 0;
    while (true) {
      const std::size_t end = path.find('\\', start);
      const std::size_t len = (end == std::string_view::npos ? path.size() : end) - start;
      if (len == 0) return Problem(lineNo, "empty name in key path");
      if (end == std::string_view::npos) break;
      start = end + 1;
    }
    currentBad = false;
    const std::string folded = Folded(path);
    auto it = keyIndex.find(folded);
    if (it == keyIndex.end()) {
      out.keys.push_back(RegKeyData{std::string(path), {}});
      valueIndex.emplace_back();
      it = keyIndex.emplace(folded, out.keys.size() - 1).first;
    }
    current = it->second;
  }

  // `data` is the text after '='; `more` supplies continuation lines of a hex
  // list (returns false when there is none).
  template <typename More>
  void ValueLine(std::size_t lineNo, std::string_view line, More&& more) {
    std::string error;
    std::string name;
    if (line.front() == '@') {
      line.remove_prefix(1);
    } else {
      auto quoted = ReadQuoted(line, error);
      if (!quoted) return Problem(lineNo, error);
      name = std::move(*quoted);
      if (name.empty()) return Problem(lineNo, "empty value name (the unnamed value is written @)");
    }
    line = TrimLeft(line);
    if (line.empty() || line.front() != '=') return Problem(lineNo, "'=' expected after the value name");
    line = TrimLeft(line.substr(1));

    RegValueData value;
    value.name = std::move(name);
    std::string joined;  // a hex list with its continuation lines
    if (!line.empty() && line.front() == '"') {
      auto text = ReadQuoted(line, error);
      if (!text) return Problem(lineNo, error);
      if (!TrimRight(line).empty()) return Problem(lineNo, "text after the closing quote");
      value.type = kRegText;
      value.data = TextToUtf16Bytes(Utf8ToUtf16(*text));  // the line is valid UTF-8
    } else if (StartsWithFold(line, "dword:")) {
      auto n = ParseHexNumber(TrimRight(line.substr(6)), 8);
      if (!n) return Problem(lineNo, "dword: needs 1 to 8 hex digits");
      value.type = kRegNumber;
      for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<std::uint8_t>(*n >> (8 * i)));
    } else if (StartsWithFold(line, "hex")) {
      std::string_view rest = line.substr(3);
      value.type = kRegBinary;
      if (!rest.empty() && rest.front() == '(') {
        const std::size_t close = rest.find(')');
        if (close == std::string_view::npos) return Problem(lineNo, "hex( without ')'");
        auto type = ParseHexNumber(rest.substr(1, close - 1), 8);
        if (!type) return Problem(lineNo, "hex(N): needs a type of 1 to 8 hex digits");
        value.type = *type;
        rest.remove_prefix(close + 1);
      }
      if (rest.empty() || rest.front() != ':') return Problem(lineNo, "':' expected after hex");
      rest.remove_prefix(1);
      // Gather continuation lines: a line ending in '\' goes on in the next.
      joined.assign(TrimRight(rest));
      bool badContinuation = false;
      while (!joined.empty() && joined.back() == '\\') {
        joined.pop_back();
        std::string_view next;
        if (!more(next)) {
          badContinuation = true;
          break;
        }
        joined += TrimRight(TrimLeft(next));
      }
      if (badContinuation) return Problem(lineNo, "hex list ends in '\\' but no continuation line follows");
      std::string_view list = joined;
      while (true) {
        list = TrimLeft(list);
        if (list.empty()) break;
        std::size_t n = 0;
        while (n < list.size() && n < 3 && HexDigit(list[n]) >= 0) ++n;
        if (n == 0 || n > 2) return Problem(lineNo, "bad byte in hex list");
        value.data.push_back(static_cast<std::uint8_t>(*ParseHexNumber(list.substr(0, n), 2)));
        list = TrimLeft(list.substr(n));
        if (list.empty()) break;
        if (list.front() != ',') return Problem(lineNo, "',' expected between bytes");
        list.remove_prefix(1);
        if (TrimLeft(list).empty()) break;  // a trailing comma is allowed
      }
    } else if (!line.empty() && line.front() == '-') {
      return Problem(lineNo, "value deletions are not supported");
    } else {
      return Problem(lineNo, "unknown value data (expected \"text\", dword:, hex: or hex(N):)");
    }

    if (!current) {
      if (!currentBad) Problem(lineNo, "value outside a key");
      else Problem(lineNo, "value of a skipped key");
      return;
    }
    auto& index = valueIndex[*current];
    auto& values = out.keys[*current].values;
    const std::string folded = Folded(value.name);
    auto it = index.find(folded);
    if (it == index.end()) {
      index.emplace(folded, values.size());
      values.push_back(std::move(value));
    } else {
      values[it->second].type = value.type;
      values[it->second].data = std::move(value.data);
    }
  }
};

// ---- Files ----

struct FileBytes {
  bool exists = false;
  std::string bytes;
  struct stat st {};
};

// 0 on success (also when the file does not exist), else kRegCantRead.
long ReadFileBytes(const std::string& path, FileBytes& out) {
  out = FileBytes{};
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return kRegSuccess;
    std::fprintf(stderr, "corvella: can't open the registry file %s: %s\n", path.c_str(),
                 std::strerror(errno));
    return kRegCantRead;
  }
  long rc = kRegSuccess;
  if (::fstat(fd, &out.st) != 0 || !S_ISREG(out.st.st_mode)) {
    std::fprintf(stderr, "corvella: the registry file %s is not a regular file\n", path.c_str());
    rc = kRegCantRead;
  } else if (static_cast<std::size_t>(out.st.st_size) > kMaxFileSize) {
    std::fprintf(stderr, "corvella: the registry file %s is larger than %zu bytes; left alone\n",
                 path.c_str(), kMaxFileSize);
    rc = kRegCantRead;
  } else {
    out.bytes.resize(static_cast<std::size_t>(out.st.st_size));
    std::size_t got = 0;
    while (rc == kRegSuccess) {
      if (got == out.bytes.size()) out.bytes.resize(got + 4096);  // the file grew meanwhile
      const ssize_t n = ::read(fd, out.bytes.data() + got, out.bytes.size() - got);
      if (n < 0) {
        if (errno == EINTR) continue;
        std::fprintf(stderr, "corvella: can't read the registry file %s: %s\n", path.c_str(),
                     std::strerror(errno));
        rc = kRegCantRead;
      } else if (n == 0) {
        break;
      } else {
        got += static_cast<std::size_t>(n);
        if (got > kMaxFileSize) rc = kRegCantRead;
      }
    }
    out.bytes.resize(got);
    out.exists = rc == kRegSuccess;
  }
  ::close(fd);
  return rc;
}

// A symbolic link is followed, so that the file it points to is replaced and
// not the link.
std::string ResolvePath(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      std::string resolved(real);
      std::free(real);
      return resolved;
    }
  }
  return path;
}

std::string ParentDir(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool MakeDirs(const std::string& dir) {
  struct stat st {};
  if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  if (dir != "/" && dir != "." && !MakeDirs(ParentDir(dir))) return false;
  return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

void ReportProblems(const std::string& path, const ParseResult& parsed) {
  std::size_t shown = 0;
  for (const std::string& p : parsed.problems) {
    if (shown++ == kMaxReportedProblems) {
      std::fprintf(stderr, "corvella: registry file %s: %zu more bad lines skipped\n", path.c_str(),
                   parsed.problems.size() - kMaxReportedProblems);
      break;
    }
    std::fprintf(stderr, "corvella: registry file %s: %s (line skipped)\n", path.c_str(), p.c_str());
  }
}

// A name beside `path` for keeping the current file: "<path>.damaged-<time>".
std::string AsideName(const std::string& path) {
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm tm {};
  ::gmtime_r(&now, &tm);
  std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &tm);
  const std::string base = path + ".damaged-" + stamp;
  std::string name = base;
  for (int n = 2; ::access(name.c_str(), F_OK) == 0; ++n) name = base + "-" + std::to_string(n);
  return name;
}

// Holds the writers' lock of one registry file for its lifetime.
class WriterLock {
 public:
  explicit WriterLock(const std::string& file) {
    fd_ = ::open((file + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        ::close(fd_);
        fd_ = -1;
        return;
      }
    }
  }
  ~WriterLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

void SyncDir(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

// Replaces `path` by `text` atomically. On failure the old file is untouched
// and no temporary file is left behind.
bool ReplaceFile(const std::string& path, std::string_view text) {
  const std::string temp = path + ".tmp-" + std::to_string(::getpid());
  int fd = -1;
  if (writeFault != RegWriteFault::CreateTemp) {
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  } else {
    errno = ENOSPC;
  }
  if (fd < 0) {
    std::fprintf(stderr, "corvella: can't create %s: %s\n", temp.c_str(), std::strerror(errno));
    return false;
  }
  bool ok = true;
  const char* step = "write";
  if (writeFault == RegWriteFault::WriteTemp) {
    WriteAll(fd, text.substr(0, text.size() / 2));  // a torn temporary file
    errno = ENOSPC;
    ok = false;
  } else {
    ok = WriteAll(fd, text);
  }
  if (ok) {
    step = "sync";
    ok = writeFault != RegWriteFault::SyncTemp && ::fsync(fd) == 0;
    if (!ok && writeFault == RegWriteFault::SyncTemp) errno = EIO;
  }
  const int saved = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    step = "close";
  } else {
    errno = saved;
  }
  if (ok) {
    step = "rename";
    if (writeFault == RegWriteFault::Rename) {
      errno = EIO;
      ok = false;
    } else {
      ok = ::rename(temp.c_str(), path.c_str()) == 0;
    }
  }
  if (!ok) {
    std::fprintf(stderr, "corvella: can't write the registry file %s (%s: %s); the old file is kept\n",
                 path.c_str(), step, std::strerror(errno));
    ::unlink(temp.c_str());
    return false;
  }
  SyncDir(ParentDir(path));
  return true;
}

// Removes temporary files that writers killed in the middle left behind. Only
// the holder of the writers' lock writes a temporary file, so none is in use.
void RemoveStaleTemporaries(const std::string& path) {
  const std::string dir = ParentDir(path);
  const std::size_t slash = path.rfind('/');
  const std::string prefix = (slash == std::string::npos ? path : path.substr(slash + 1)) + ".tmp-";
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) return;
  while (const dirent* e = ::readdir(d)) {
    if (std::string_view(e->d_name).starts_with(prefix)) ::unlinkat(::dirfd(d), e->d_name, 0);
  }
  ::closedir(d);
}

// Keeps the file's current content at an aside name (a hard link, or a copy
// where links don't work). False when nothing could be kept.
bool KeepAside(const std::string& path, const std::string& bytes) {
  const std::string aside = AsideName(path);
  if (::link(path.c_str(), aside.c_str()) == 0 || ReplaceFile(aside, bytes)) {
    std::fprintf(stderr, "corvella: the registry file's old content is kept as %s\n", aside.c_str());
    return true;
  }
  return false;
}

// ---- Reading ----
//
// Readers don't lock: every write replaces the file whole, so a reader sees the
// old or the new file. The file is read again at every call (it is small), so
// changes by other processes and by hand are seen at once; the problems of a
// file are reported once, not at every read.

std::mutex reportMutex;
std::size_t reportedHash = 0;
std::string reportedPath;

void ReportProblemsOnce(const std::string& path, const std::string& bytes, const ParseResult& parsed) {
  if (parsed.problems.empty()) return;
  std::lock_guard<std::mutex> guard(reportMutex);
  const std::size_t hash = std::hash<std::string>{}(bytes);
  if (path == reportedPath && hash == reportedHash) return;
  reportedPath = path;
  reportedHash = hash;
  ReportProblems(path, parsed);
}

// Moves an unparsable file aside; the caller holds the writers' lock.
void SetDamagedFileAside(const std::string& path) {
  const std::string aside = AsideName(path);
  if (::rename(path.c_str(), aside.c_str()) == 0) {
    std::fprintf(stderr,
                 "corvella: the registry file %s is not a registry file (header \"%.*s\" "
                 "missing); it was renamed to %s and defaults are used\n",
                 path.c_str(), static_cast<int>(kHeader.size()), kHeader.data(), aside.c_str());
  } else {
    std::fprintf(stderr, "corvella: the registry file %s is damaged and can't be renamed (%s)\n",
                 path.c_str(), std::strerror(errno));
  }
}

std::span<const std::uint8_t> AsBytes(const std::string& s) {
  return std::span(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

// Loads the file for reading into `data`. A missing or empty file is an empty
// registry.
long LoadForRead(const std::string& path, RegistryData& data) {
  data = RegistryData{};
  FileBytes f;
  if (const long rc = ReadFileBytes(path, f); rc != kRegSuccess) return rc;
  if (!f.exists || f.bytes.empty()) return kRegSuccess;
  ParseResult result = ParseRegistryText(AsBytes(f.bytes), data);
  if (result.headerOk) {
    ReportProblemsOnce(path, f.bytes, result);
    return kRegSuccess;
  }
  // Move it aside under the writers' lock, after making sure it is still the
  // same bad file and not one a writer has just put in place.
  data = RegistryData{};
  WriterLock lock(path);
  FileBytes again;
  if (!lock.Held() || ReadFileBytes(path, again) != kRegSuccess || !again.exists || again.bytes.empty()) {
    return kRegSuccess;
  }
  result = ParseRegistryText(AsBytes(again.bytes), data);
  if (result.headerOk) {
    ReportProblemsOnce(path, again.bytes, result);
  } else {
    data = RegistryData{};
    SetDamagedFileAside(path);
  }
  return kRegSuccess;
}

// Read-modify-write of the file under the writers' lock. `change` edits the
// data and returns false when nothing needs writing.
template <typename Change>
long Modify(const std::string& path, Change&& change) {
  if (!MakeDirs(ParentDir(path))) {
    std::fprintf(stderr, "corvella: can't create the directory of the registry file %s: %s\n",
                 path.c_str(), std::strerror(errno));
    return kRegCantWrite;
  }
  WriterLock lock(path);
  if (!lock.Held()) {
    std::fprintf(stderr, "corvella: can't lock the registry file %s.lock: %s\n", path.c_str(),
                 std::strerror(errno));
    return kRegCantWrite;
  }
  RemoveStaleTemporaries(path);
  FileBytes f;
  if (const long rc = ReadFileBytes(path, f); rc != kRegSuccess) return rc;  // never overwrite what we can't read
  RegistryData data;
  bool keepOld = false;
  if (f.exists && !f.bytes.empty()) {
    ParseResult result = ParseRegistryText(AsBytes(f.bytes), data);
    if (!result.headerOk) {
      SetDamagedFileAside(path);
      data = RegistryData{};
    } else if (!result.problems.empty()) {
      ReportProblemsOnce(path, f.bytes, result);
      keepOld = true;
    }
  }
  if (!change(data)) return kRegSuccess;
  // The write drops bad lines: keep the old file as it was first.
  if (keepOld && !KeepAside(path, f.bytes)) return kRegCantWrite;
  const std::string text = FormatRegistryText(data);
  if (!ReplaceFile(path, text)) return kRegCantWrite;
  return kRegSuccess;
}


// ---- Names and keys ----

// UTF-8 of a caller's name: nullopt for unpaired surrogates, control
// characters or more than kMaxNameUnits units.
std::optional<std::string> NameToUtf8(const char16_t* name) {
  const std::size_t n = Utf16Length(name, kMaxNameUnits + 1);
  if (n > kMaxNameUnits) return std::nullopt;
  const std::u16string_view view(name, n);
  for (char16_t u : view) {
    if (u < 0x20) return std::nullopt;
  }
  std::string utf8 = Utf16ToUtf8(view);
  if (Utf8ToUtf16(utf8) != view) return std::nullopt;
  return utf8;
}

// "HKEY_CURRENT_USER\<path>" for a caller's key path; nullopt for a path with
// an empty component or a bad name.
std::optional<std::string> FullKeyPath(const char16_t* path) {
  auto utf8 = NameToUtf8(path);
  if (!utf8) return std::nullopt;
  if (utf8->empty()) return std::string(kUserRoot);
  std::size_t start = 0;
  while (true) {
    const std::size_t end = utf8->find('\\', start);
    if ((end == std::string::npos ? utf8->size() : end) == start) return std::nullopt;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return std::string(kUserRoot) + "\\" + *utf8;
}

RegKeyData* FindKey(RegistryData& data, std::string_view path) {
  for (RegKeyData& k : data.keys) {
    if (EqualFold(k.path, path)) return &k;
  }
  return nullptr;
}

bool KeyExists(const RegistryData& data, std::string_view path) {
  if (EqualFold(path, kUserRoot)) return true;
  for (const RegKeyData& k : data.keys) {
    if (StartsWithFold(k.path, path) && (k.path.size() == path.size() || k.path[path.size()] == '\\')) {
      return true;
    }
  }
  return false;
}

const RegValueData* FindValue(const RegKeyData& key, std::string_view name) {
  for (const RegValueData& v : key.values) {
    if (EqualFold(v.name, name)) return &v;
  }
  return nullptr;
}

long OpenOrCreate(const char16_t* path, std::uint32_t access, HKey* key, bool create) {
  if (path == nullptr || key == nullptr) return kRegInvalidParameter;
  auto full = FullKeyPath(path);
  if (!full) return kRegInvalidParameter;
  const std::string file = ResolvePath(RegistryFilePath());
  RegistryData data;
  if (const long rc = LoadForRead(file, data); rc != kRegSuccess && !create) return rc;
  if (!KeyExists(data, *full)) {
    if (!create) return kRegFileNotFound;
    const long rc = Modify(file, [&](RegistryData& d) {
      if (KeyExists(d, *full)) return false;
      d.keys.push_back(RegKeyData{*full, {}});
      return true;
    });
    if (rc != kRegSuccess) return rc;
  }
  *key = new RegKey{file, *full, access};
  return kRegSuccess;
}

}  // namespace

const char* RegResultName(long code) {
  switch (code) {
    case kRegSuccess: return "success";
    case kRegFileNotFound: return "file not found";
    case kRegAccessDenied: return "access denied";
    case kRegInvalidHandle: return "invalid handle";
    case kRegNotEnoughMemory: return "not enough memory";
    case kRegInvalidParameter: return "invalid parameter";
    case kRegMoreData: return "more data";
    case kRegCantRead: return "registry file can't be read";
    case kRegCantWrite: return "registry file can't be written";
    default: return "unknown error";
  }
}

std::string RegistryFilePath() {
  if (const char* p = std::getenv("CORVELLA_REGISTRY"); p != nullptr && *p != '\0') return p;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (config != nullptr && config[0] == '/') {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
      const passwd* pw = ::getpwuid(::getuid());
      home = pw != nullptr ? pw->pw_dir : "/";
    }
    base = std::string(home) + "/.config";
  }
  return base + "/corvella/registry.reg";
}

long OpenKey(const char16_t* path, std::uint32_t access, HKey* key) {
  try {
    return OpenOrCreate(path, access, key, false);
  } catch (const std::bad_alloc&) {
    return kRegNotEnoughMemory;
  }
}

long CreateKey(const char16_t* path, std::uint32_t access, HKey* key) {
  try {
    return OpenOrCreate(path, access, key, true);
  } catch (const std::bad_alloc&) {
    return kRegNotEnoughMemory;
  }
}

long CloseKey(HKey key) {
  if (key == nullptr) return kRegInvalidHandle;
  delete key;
  return kRegSuccess;
}

long ReadValue(HKey key, const char16_t* name, std::uint32_t* type, std::uint8_t* data,
               std::uint32_t* size) {
  if (key == nullptr) return kRegInvalidHandle;
  if (name == nullptr || size == nullptr) return kRegInvalidParameter;
  if ((key->access & kKeyQueryValue) == 0) return kRegAccessDenied;
  try {
    auto valueName = NameToUtf8(name);
    if (!valueName) return kRegFileNotFound;
    RegistryData registry;
    if (const long rc = LoadForRead(key->file, registry); rc != kRegSuccess) return rc;
    const RegKeyData* k = FindKey(registry, key->path);
    const RegValueData* v = k != nullptr ? FindValue(*k, *valueName) : nullptr;
    if (v == nullptr) return kRegFileNotFound;
    const auto needed = static_cast<std::uint32_t>(v->data.size());
    if (type != nullptr) *type = v->type;
    if (data == nullptr) {
      *size = needed;
      return kRegSuccess;
    }
    if (*size < needed) {
      *size = needed;
      return kRegMoreData;
    }
    if (needed > 0) std::memcpy(data, v->data.data(), needed);
    *size = needed;
    return kRegSuccess;
  } catch (const std::bad_alloc&) {
    return kRegNotEnoughMemory;
  }
}

long QueryValue(HKey key, const char16_t* name, std::uint32_t* type, std::uint32_t* size) {
  return ReadValue(key, name, type, nullptr, size);
}

long WriteValue(HKey key, const char16_t* name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) {
  if (key == nullptr) return kRegInvalidHandle;
  if (name == nullptr || (data == nullptr && size > 0) || size > kMaxValueSize) {
    return kRegInvalidParameter;
  }
  if ((key->access & kKeySetValue) == 0) return kRegAccessDenied;
  try {
    auto valueName = NameToUtf8(name);
    if (!valueName) return kRegInvalidParameter;
    RegValueData value{*valueName, type, std::vector<std::uint8_t>(data, data + size)};
    return Modify(key->file, [&](RegistryData& registry) {
      RegKeyData* k = FindKey(registry, key->path);
      if (k == nullptr) {
        registry.keys.push_back(RegKeyData{key->path, {}});
        k = &registry.keys.back();
      }
      for (RegValueData& v : k->values) {
        if (EqualFold(v.name, value.name)) {
          v.type = value.type;
          v.data = std::move(value.data);
          return true;
        }
      }
      k->values.push_back(std::move(value));
      return true;
    });
  } catch (const std::bad_alloc&) {
    return kRegNotEnoughMemory;
  }
}

ParseResult ParseRegistryText(std::span<const std::uint8_t> bytes, RegistryData& out) {
  out = RegistryData{};
  ParseResult result;
  std::string text;
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      units.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    text = Utf16ToUtf8(units);
  } else {
    text.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  }

  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      if (start < text.size()) lines.push_back(std::string_view(text).substr(start));
      break;
    }
    lines.push_back(std::string_view(text).substr(start, end - start));
    start = end + 1;
  }
  if (lines.empty() || TrimRight(lines[0]) != kHeader) return result;
  result.headerOk = true;

  Parser parser{out, result, {}, {}, std::nullopt, false};
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::size_t lineNo = i + 1;
    std::string_view line = TrimLeft(lines[i]);
    if (TrimRight(line).empty() || line.front() == ';') continue;
    auto valid = [&](std::string_view l) { return Utf8ToUtf16Strict(l).has_value(); };
    if (!valid(line)) {
      parser.Problem(lineNo, "not valid UTF-8");
      continue;
    }
    if (line.front() == '[') {
      parser.KeyLine(lineNo, line);
    } else if (line.front() == '"' || line.front() == '@') {
      // Continuation lines hold only hex digits and commas; anything else,
      // bad UTF-8 included, fails the value.
      // A line that starts a key, a value or a comment is never taken as a
      // continuation, so that a broken list doesn't swallow the next key.
      parser.ValueLine(lineNo, line, [&](std::string_view& next) {
        if (i + 1 >= lines.size()) return false;
        const std::string_view candidate = TrimLeft(lines[i + 1]);
        if (!candidate.empty() && (candidate.front() == '[' || candidate.front() == '"' ||
                                   candidate.front() == '@' || candidate.front() == ';')) {
          return false;
        }
        next = lines[++i];
        return true;
      });
    } else {
      parser.Problem(lineNo, "not a key, value or comment line");
    }
  }
  return result;
}

std::string FormatRegistryText(const RegistryData& data) {
  std::string out;
  out += kHeader;
  out += "\n";
  for (const RegKeyData& key : data.keys) {
    out += "\n[";
    out += key.path;
    out += "]\n";
    for (const RegValueData& v : key.values) AppendValue(out, v);
  }
  return out;
}

void SetRegistryWriteFault(RegWriteFault fault) { writeFault = fault; }

}  // namespace pf
