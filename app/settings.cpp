#include "app/settings.h"

#include <bit>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "platform/program_path.h"
#include "platform/registry.h"
#include "platform/utf.h"
#include "view/article_view.h"

static_assert(std::endian::native == std::endian::little,
              "registry text and numbers are stored little-endian, as they are in memory");

std::uint16_t (*ViewTopLine)(const ArticleView* view) = ArticleViewTopLine;

namespace {

constexpr std::size_t kFontNameUnits = sizeof(FontBlock::FontName) / sizeof(char16_t);

// Set when CheckedAlloc failed in one of these routines since LoadSettings
// started; ShutDown has then already run.
bool allocFailed = false;
// True while LoadSettings runs; shutDownWhileLoading is set when SaveSettings
// is reached meanwhile (ShutDown after an allocation failure anywhere, also in
// LoadIndexBitmaps or LoadBookmarks).
bool loading = false;
bool shutDownWhileLoading = false;

bool Interrupted() { return allocFailed || shutDownWhileLoading; }
// SettingBit values read by LoadSettings.
std::uint32_t loaded = 0;

void* Alloc(std::size_t size) {
  void* block = CheckedAlloc(size);
  if (block == nullptr) allocFailed = true;
  return block;
}

// Reads the whole value `name` of the settings key into a new buffer of
// exactly its size (one byte at least); its size in `*size`. Null on failure.
std::uint8_t* ReadBytesWithSize(const char16_t* name, std::uint32_t* size) {
  pf::HKey key = nullptr;
  if (pf::OpenKey(kSettingsKey, pf::kKeyRead, &key) != pf::kRegSuccess) return nullptr;
  std::uint32_t needed = 0;
  if (pf::QueryValue(key, name, nullptr, &needed) != pf::kRegSuccess) {
    pf::CloseKey(key);
    return nullptr;
  }
  auto* buffer = static_cast<std::uint8_t*>(Alloc(needed));
  if (buffer == nullptr) {
    pf::CloseKey(key);
    return nullptr;
  }
  std::uint32_t got = needed;
  const long rc = pf::ReadValue(key, name, nullptr, buffer, &got);
  pf::CloseKey(key);
  if (rc != pf::kRegSuccess || got != needed) {  // changed in between: treat as unreadable
    ReleaseBlock(buffer);
    return nullptr;
  }
  *size = got;
  return buffer;
}

int WriteValue(const char16_t* name, std::uint32_t type, const void* bytes, std::uint32_t size) {
  pf::HKey key = nullptr;
  if (pf::CreateKey(kSettingsKey, pf::kKeyAllAccess, &key) != pf::kRegSuccess) return 0;
  const long rc = pf::WriteValue(key, name, type, static_cast<const std::uint8_t*>(bytes), size);
  pf::CloseKey(key);
  return rc == pf::kRegSuccess ? 1 : 0;
}

}  // namespace

std::int32_t ReadNumber(const char16_t* keyPath, const char16_t* name, std::int32_t def) {
  pf::HKey key = nullptr;
  if (pf::OpenKey(keyPath, pf::kKeyRead, &key) != pf::kRegSuccess) return def;
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (pf::QueryValue(key, name, &type, &size) != pf::kRegSuccess) {
    pf::CloseKey(key);
    return def;
  }
  if (type == pf::kRegNumber) {
    std::uint8_t bytes[4] = {};
    std::uint32_t got = sizeof bytes;
    const long rc = pf::ReadValue(key, name, &type, bytes, &got);
    pf::CloseKey(key);
    if (rc != pf::kRegSuccess || type != pf::kRegNumber || got != sizeof bytes) return def;
    std::uint32_t n = 0;
    std::memcpy(&n, bytes, sizeof n);
    return static_cast<std::int32_t>(n);
  }
  auto* buffer = static_cast<std::uint8_t*>(Alloc(size));
  if (buffer == nullptr) {
    pf::CloseKey(key);
    return def;
  }
  std::uint32_t got = size;
  const long rc = pf::ReadValue(key, name, nullptr, buffer, &got);
  pf::CloseKey(key);
  if (rc != pf::kRegSuccess) {
    ReleaseBlock(buffer);
    return def;
  }
  // Decimal text: no sign, no digit check, wrapping in 32 bits. The value's
  // end stops the scan as a zero unit does.
  std::uint32_t n = 0;
  for (std::uint32_t i = 0; i + 1 < got; i += 2) {
    const std::uint32_t unit = buffer[i] | (static_cast<std::uint32_t>(buffer[i + 1]) << 8);
    if (unit == 0) break;
    n = n * 10u + (unit - 48u);
  }
  ReleaseBlock(buffer);
  return static_cast<std::int32_t>(n);
}

std::int32_t ReadSettingNumber(const char16_t* name, std::int32_t def) {
  return ReadNumber(kSettingsKey, name, def);
}

int WriteSettingNumber(const char16_t* name, std::int32_t number) {
  const auto n = static_cast<std::uint32_t>(number);
  return WriteValue(name, pf::kRegNumber, &n, sizeof n);
}

char16_t* ReadSettingString(const char16_t* name) {
  pf::HKey key = nullptr;
  if (pf::OpenKey(kSettingsKey, pf::kKeyRead, &key) != pf::kRegSuccess) return nullptr;
  std::uint32_t size = 0;
  if (pf::QueryValue(key, name, nullptr, &size) != pf::kRegSuccess) {
    pf::CloseKey(key);
    return nullptr;
  }
  // Room for one more unit, so that the text is terminated whatever is stored.
  const std::size_t units = size / 2 + 1;
  auto* text = static_cast<char16_t*>(Alloc(units * sizeof(char16_t)));
  if (text == nullptr) {
    pf::CloseKey(key);
    return nullptr;
  }
  std::uint32_t got = static_cast<std::uint32_t>(units * sizeof(char16_t));
  const long rc = pf::ReadValue(key, name, nullptr, reinterpret_cast<std::uint8_t*>(text), &got);
  pf::CloseKey(key);
  if (rc != pf::kRegSuccess) {
    ReleaseBlock(text);
    return nullptr;
  }
  text[got / 2] = u'\0';
  return text;
}

int WriteSettingString(const char16_t* name, const char16_t* text) {
  if (text == nullptr) return 0;
  const std::size_t length = pf::Utf16Length(text);
  if (length >= 0x7FFFFFFFu) return 0;
  return WriteValue(name, pf::kRegText, text, static_cast<std::uint32_t>((length + 1) * 2));
}

std::uint8_t* ReadSettingBytes(const char16_t* name) {
  std::uint32_t size = 0;
  return ReadBytesWithSize(name, &size);
}

void ReadSettingByteString(const char16_t* name, std::uint8_t* buffer, std::size_t capacity) {
  if (buffer == nullptr || capacity == 0) return;
  std::uint32_t size = 0;
  std::uint8_t* bytes = ReadBytesWithSize(name, &size);
  if (bytes == nullptr) return;
  if (size > 0 && bytes[0] != 0) {
    std::size_t n = 0;
    while (n < size && n < capacity - 1 && bytes[n] != 0) {
      buffer[n] = bytes[n];
      ++n;
    }
    buffer[n] = 0;
  }
  ReleaseBlock(bytes);
}

int WriteSettingByteString(const char16_t* name, const std::uint8_t* bytes) {
  if (bytes == nullptr) return 0;
  const std::size_t length = std::strlen(reinterpret_cast<const char*>(bytes));
  if (length >= 0xFFFFFFFFu) return 0;
  return WriteValue(name, pf::kRegBinary, bytes, static_cast<std::uint32_t>(length + 1));
}

void* ReadSettingBlob(const char16_t* name, void* fallback, std::uint32_t* length) {
  std::uint32_t size = 0;
  std::uint8_t* bytes = ReadBytesWithSize(name, &size);
  if (bytes == nullptr) return fallback;
  if (length != nullptr) *length = size;
  return bytes;
}

int WriteSettingBlob(const char16_t* name, const void* bytes, std::uint32_t length) {
  if (bytes == nullptr && length > 0) return 0;
  return WriteValue(name, pf::kRegBinary, bytes, length);
}

namespace {

// LoadSettings' steps; each returns at once when memory ran out, leaving the
// values not yet read unmarked.
void LoadSettingsSteps() {
  // 1. The program's own path, rewritten at every start.
  const std::u16string path = pf::ProgramPath();
  if (!path.empty()) WriteSettingString(u"Program Path", path.c_str());

  // 2. FontName, cut to what fits with its terminator.
  char16_t* fontName = ReadSettingString(u"FontName");
  if (Interrupted()) {
    ReleaseBlock(fontName);
    return;
  }
  if (fontName != nullptr && fontName[0] != u'\0') {
    std::size_t n = 0;
    while (n < kFontNameUnits - 1 && fontName[n] != u'\0') {
      App.Font.FontName[n] = fontName[n];
      ++n;
    }
    App.Font.FontName[n] = u'\0';
  }
  ReleaseBlock(fontName);
  loaded |= kLoadedFontName;

  // 3. SearchString, at most 33 bytes and its terminator.
  ReadSettingByteString(u"SearchString", App.SearchString, kSearchStringSize);
  if (Interrupted()) return;
  loaded |= kLoadedSearchString;

  // 4 to 8. The numbers; "LastPosition" and "Lesson" keep their low 16 bits.
  const std::int32_t fontSize = ReadSettingNumber(u"FontSize", 0);
  if (Interrupted()) return;
  App.Font.FontSize = fontSize;
  loaded |= kLoadedFontSize;

  const std::int32_t asciiBase = ReadSettingNumber(u"FontAsciiBase", kDefaultAsciiBase);
  if (Interrupted()) return;
  App.Font.FontAsciiBase = asciiBase;
  loaded |= kLoadedFontAsciiBase;

  const std::int32_t lastPosition = ReadSettingNumber(u"LastPosition", 0);
  if (Interrupted()) return;
  App.LastPosition = static_cast<std::uint16_t>(lastPosition);
  loaded |= kLoadedLastPosition;

  const std::int32_t flags = ReadSettingNumber(u"Flags", static_cast<std::int32_t>(kDefaultFlags));
  if (Interrupted()) return;
  App.Flags = static_cast<std::uint32_t>(flags);
  loaded |= kLoadedFlags;

  const std::int32_t lesson = ReadSettingNumber(u"Lesson", 0);
  if (Interrupted()) return;
  App.Lesson = static_cast<std::uint16_t>(lesson);
  loaded |= kLoadedLesson;

  // 9. The index bitmaps.
  LoadIndexBitmaps();
  if (Interrupted()) return;

  // 10. The bookmarks, into a cleared array.
  ReleaseBlock(App.Bookmarks);
  App.Bookmarks = nullptr;
  App.BookmarkCount = 0;
  LoadBookmarks();
  if (Interrupted()) return;
  loaded |= kLoadedBookmarks;
}

}  // namespace

void LoadSettings() {
  allocFailed = false;
  shutDownWhileLoading = false;
  loaded = 0;
  loading = true;
  LoadSettingsSteps();
  loading = false;
}

void SaveSettings() {
  if (loading) shutDownWhileLoading = true;
  if ((loaded & kLoadedSearchString) != 0 && App.SearchString[0] != 0) {
    std::uint8_t pattern[kSearchStringSize];
    std::memcpy(pattern, App.SearchString, sizeof pattern);
    pattern[kSearchStringSize - 1] = 0;
    WriteSettingByteString(u"SearchString", pattern);
  }
  if ((loaded & kLoadedFontName) != 0 && App.Font.FontName[0] != u'\0') {
    char16_t fontName[kFontNameUnits];
    std::memcpy(fontName, App.Font.FontName, sizeof fontName);
    fontName[kFontNameUnits - 1] = u'\0';
    WriteSettingString(u"FontName", fontName);
  }
  if ((loaded & kLoadedFontSize) != 0 && App.Font.FontSize != 0) {
    WriteSettingNumber(u"FontSize", App.Font.FontSize);
  }
  if ((loaded & kLoadedFontAsciiBase) != 0 && App.Font.FontAsciiBase != 0) {
    WriteSettingNumber(u"FontAsciiBase", App.Font.FontAsciiBase);
  }
  if ((loaded & kLoadedLastPosition) != 0 && App.View != nullptr && ViewTopLine != nullptr) {
    WriteSettingNumber(u"LastPosition", ViewTopLine(App.View));
  }
  if ((loaded & kLoadedFlags) != 0) {
    WriteSettingNumber(u"Flags", static_cast<std::int32_t>(App.Flags));
  }
  if ((loaded & kLoadedLesson) != 0 && App.Lesson != 0) {
    WriteSettingNumber(u"Lesson", App.Lesson);
  }
}

bool SettingLoaded(SettingBit bit) { return (loaded & bit) != 0; }
