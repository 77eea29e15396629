#pragma once
// The registry: keys and values under the current user, kept in one text file
// that a person can read and edit.
//
// Where the file lives: the path in $CORVELLA_REGISTRY when that is set and not
// empty, else $XDG_CONFIG_HOME/corvella/registry.reg (when XDG_CONFIG_HOME is an
// absolute path), else $HOME/.config/corvella/registry.reg. The environment is
// looked up again at every OpenKey/CreateKey, so a process (or a test) can
// switch files between calls. A key handle keeps the file it was opened on.
//
// File format (stable; the registry export text format, UTF-8 without BOM):
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Tarnwick\Corvella]
//   "FontName"="Taamey David"
//   "Flags"=dword:d1140040
//   "SearchString"=hex:e0,e1,00
//   "Program Path"="/usr/bin/corvella"
//
// - The first line is the header above, exactly (a UTF-8 BOM and trailing
//   blanks are tolerated; a UTF-16LE file with BOM is read too). Lines end in LF
//   (CR LF is accepted). Blank lines and lines starting with ';' are ignored.
// - "[path]" starts a key; the path starts with its root (HKEY_CURRENT_USER for
//   everything this program does; sections of other roots are kept as they are).
// - A value line is "name"=data, or @=data for the key's unnamed value. Names
//   and quoted text escape only backslash (\\) and double quote (\").
// - Data forms:
//     "text"          type 1: the text, stored in memory as UTF-16LE with a
//                     terminating zero unit. Used only when the value is
//                     exactly that (even size, one terminator at the end, no
//                     other zero unit, no control characters, no unpaired
//                     surrogates).
//     dword:xxxxxxxx  type 4 with exactly 4 bytes, 8 hex digits, little-endian
//                     in memory.
//     hex:bb,bb,...   type 3 (binary), the bytes in order.
//     hex(N):bb,...   any other type or shape, N the type in hex (e.g. hex(1):
//                     for text with an odd size or an embedded zero, hex(4):
//                     for a number that is not 4 bytes long).
//   A hex list may continue over several lines: a line ending in "\" goes on in
//   the next one, whose leading blanks are skipped. Written lists wrap at about
//   80 columns.
// - Key paths and value names compare without regard to ASCII letter case; the
//   spelling of the first writer is kept.
//
// Robustness: every write is atomic (temporary file in the same directory,
// fsync, rename over the old file, then fsync of the directory), and writers of
// all processes take an exclusive flock on "<file>.lock" and re-read the file
// before they change it. A file without the header is renamed aside to
// "<file>.damaged-<UTC time>" (never deleted) with a message on standard error,
// and the registry reads as empty. A bad line is skipped with a message; before
// a write drops such lines from the file, the old file is kept aside the same
// way. A write that fails leaves the old file whole and returns an error; a
// file that exists but can't be read (or is over 64 MiB) is never overwritten.
// Temporary files ("<file>.tmp-<pid>") left by a killed writer are removed by
// the next writer. The file is created with mode 0600, its directory with 0700.
// Readers take no lock and read the file afresh at every call.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pf {

struct RegKey;            // an open key: the file it lives in, its path, its access
using HKey = RegKey*;     // owned by the caller from Open/CreateKey until CloseKey

// Access rights.
constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyRead = 0x00020019;       // query, enumerate, notify, read control
constexpr std::uint32_t kKeyAllAccess = 0x000F003F;  // everything

// Value types. Any other number is kept as raw bytes.
constexpr std::uint32_t kRegText = 1;    // UTF-16 text with its terminator
constexpr std::uint32_t kRegBinary = 3;  // raw bytes
constexpr std::uint32_t kRegNumber = 4;  // 32-bit little-endian number

// Result codes: 0 is success, everything else an error.
constexpr long kRegSuccess = 0;
constexpr long kRegFileNotFound = 2;       // no such key or value
constexpr long kRegAccessDenied = 5;       // the key was not opened for this
constexpr long kRegInvalidHandle = 6;      // null key handle
constexpr long kRegNotEnoughMemory = 8;
constexpr long kRegInvalidParameter = 87;  // null pointer, bad name, bad path
constexpr long kRegMoreData = 234;         // the caller's buffer is too small
constexpr long kRegCantRead = 1016;        // the file exists but can't be read
constexpr long kRegCantWrite = 1013;       // the file can't be written; old file kept

// Name of a result code ("success", "file not found", ...), never null.
const char* RegResultName(long code);

// Opens an existing key (path relative to the current user's root, e.g.
// u"Software\\Tarnwick\\Corvella"; empty = the root). A key exists when it was
// created or when a created key lies below it. Fails with kRegFileNotFound when
// it does not exist. `*key` is set only on success.
long OpenKey(const char16_t* path, std::uint32_t access, HKey* key);
// Opens the key, creating it (and writing the file) when it is missing.
long CreateKey(const char16_t* path, std::uint32_t access, HKey* key);
// Releases a handle from OpenKey/CreateKey. Null gives kRegInvalidHandle.
long CloseKey(HKey key);

// Reads value `name` (empty = the unnamed value). `type` may be null. With
// `data` null only the size is given (through `size`, which must not be null).
// Otherwise `*size` is the buffer's capacity on entry and the value's size on
// return; a buffer too small gives kRegMoreData, the needed size in `*size` and
// no data. Needs kKeyQueryValue access.
long ReadValue(HKey key, const char16_t* name, std::uint32_t* type, std::uint8_t* data,
               std::uint32_t* size);
// Type and size of a value: ReadValue without data.
long QueryValue(HKey key, const char16_t* name, std::uint32_t* type, std::uint32_t* size);
// Writes value `name` with `size` bytes of `data` (null allowed when size is 0),
// replacing any value of that name. Needs kKeySetValue access.
long WriteValue(HKey key, const char16_t* name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size);

// The file the next OpenKey/CreateKey uses (see the top of this header).
std::string RegistryFilePath();

// ---- The file format, for tests and the fuzzer ----

struct RegValueData {
  std::string name;  // UTF-8; empty = the unnamed value
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

struct RegKeyData {
  std::string path;  // UTF-8, with its root: "HKEY_CURRENT_USER\\Software\\..."
  std::vector<RegValueData> values;
};

struct RegistryData {
  std::vector<RegKeyData> keys;  // in file order
};

struct ParseResult {
  bool headerOk = false;              // false: not a registry file at all
  std::vector<std::string> problems;  // one message per skipped line ("line 7: ...")
};

// Parses the file's bytes into `out` (cleared first). Never reads outside
// `bytes`; bad lines are skipped and listed in the result.
ParseResult ParseRegistryText(std::span<const std::uint8_t> bytes, RegistryData& out);
// The file's text for `data`. Parsing it again gives `data` back, except that
// keys and values of the same name (ASCII case folded) are merged.
std::string FormatRegistryText(const RegistryData& data);

// Test hook: makes the next writes of the file fail at one step, as a full
// disk or a crash would. RegWriteFault::None turns it off.
enum class RegWriteFault { None, CreateTemp, WriteTemp, SyncTemp, Rename };
void SetRegistryWriteFault(RegWriteFault fault);

}  // namespace pf
