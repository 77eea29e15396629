#pragma once
// The settings store: the registry routines the program reads and writes its
// values with, and the loading and saving of the Settings fields of AppState.
//
// All routines work on keys under the current user. Readers fall back to their
// default, null or fallback on any failure and never tell the user; writers
// return 1 on success and 0 on failure. Each routine opens and closes its key
// itself. Buffers handed out come from CheckedAlloc and belong to the caller,
// who releases them with ReleaseBlock.

#include <cstddef>
#include <cstdint>

struct ArticleView;

// The settings key and the device-options key (read only).
constexpr char16_t kSettingsKey[] = u"Software\\Tarnwick\\Corvella";
constexpr char16_t kDeviceOptionsKey[] = u"software\\Brellum";

// Value `name` of key `keyPath` as a signed 32-bit number. A type-4 value of 4
// bytes is the number; a value of any other type is read as decimal UTF-16
// text: n = n * 10 + (unit - 48) for each unit up to the first zero unit or the
// value's end, wrapping in 32 bits, no sign, no digit check (so "250" gives 250
// and an empty text 0). A type-4 value that is not 4 bytes long, an absent
// value or a missing key gives `def`.
std::int32_t ReadNumber(const char16_t* keyPath, const char16_t* name, std::int32_t def);
// ReadNumber on the settings key.
std::int32_t ReadSettingNumber(const char16_t* name, std::int32_t def);
// Writes a type-4 value of 4 bytes. 1 on success, 0 on failure.
int WriteSettingNumber(const char16_t* name, std::int32_t number);

// A new zero-terminated UTF-16 buffer holding the value, or null. The buffer
// always ends in a zero unit, also when the stored value lacks its terminator
// or has an odd size (the extra byte is dropped).
char16_t* ReadSettingString(const char16_t* name);
// Writes type 1 with (length + 1) * 2 bytes, terminator included. 1 or 0.
int WriteSettingString(const char16_t* name, const char16_t* text);

// A new buffer of exactly the value's size holding its bytes (at least one
// byte is allocated for an empty value), or null.
std::uint8_t* ReadSettingBytes(const char16_t* name);
// Fills `buffer` with the value as a zero-terminated byte string of at most
// capacity - 1 bytes: the bytes up to the first 0, the value's end or the
// capacity. Leaves `buffer` as it is when the value can't be read or is empty
// or starts with 0. Does nothing when capacity is 0.
void ReadSettingByteString(const char16_t* name, std::uint8_t* buffer, std::size_t capacity);
// Writes type 3 with length + 1 bytes, terminator included. 1 or 0.
int WriteSettingByteString(const char16_t* name, const std::uint8_t* bytes);

// A new buffer holding the value's bytes, its size in bytes stored through
// `length` when that is not null; `fallback` (and `length` untouched) when the
// value can't be read.
void* ReadSettingBlob(const char16_t* name, void* fallback, std::uint32_t* length);
// Writes type 3 with `length` bytes. 1 or 0.
int WriteSettingBlob(const char16_t* name, const void* bytes, std::uint32_t length);

// Reads everything at start, before the main window exists: writes "Program
// Path", reads the Settings into App, loads the index bitmaps, clears the
// bookmark array and loads the bookmarks. Stops at once when memory runs out
// (CheckedAlloc has then run ShutDown, noticed here by SaveSettings being
// reached while loading); SettingLoaded(kLoadedBookmarks) is true only after a
// complete load.
void LoadSettings();

// Writes the Settings back (shut-down), in this order and under these
// conditions: "SearchString" when its first byte is not 0, "FontName" when its
// first unit is not 0, "FontSize" and "FontAsciiBase" when nonzero,
// "LastPosition" (the view's topLine) when the view exists, "Flags" always,
// "Lesson" when nonzero.
//
// Only values that LoadSettings has read are written: when memory ran out
// before LoadSettings was done (CheckedAlloc runs ShutDown, which calls this),
// the values not yet read are still the defaults and would overwrite what is
// stored, so they are left alone. SettingLoaded tells which were read.
void SaveSettings();

// Which settings LoadSettings has read completely since it last started.
enum SettingBit : std::uint32_t {
  kLoadedFontName = 1u << 0,
  kLoadedSearchString = 1u << 1,
  kLoadedFontSize = 1u << 2,
  kLoadedFontAsciiBase = 1u << 3,
  kLoadedLastPosition = 1u << 4,
  kLoadedFlags = 1u << 5,
  kLoadedLesson = 1u << 6,
  // LoadSettings ran to its end, LoadBookmarks included: only then may
  // ShutDown write "Bookmarks" (SaveBookmarks), or a stored list would be
  // replaced by an empty one.
  kLoadedBookmarks = 1u << 7,
};
bool SettingLoaded(SettingBit bit);

// ---- Links to other areas ----

// Loads bitmap resources 201, 202 and 203 into App.IndexBitmaps. Called by
// LoadSettings; provided by the area that owns drawing.
void LoadIndexBitmaps();
// Reads "Bookmarks" into App.Bookmarks and App.BookmarkCount. Called by
// LoadSettings after it cleared the bookmark array; provided by the bookmarks.
void LoadBookmarks();
// Reads the view's topLine for "LastPosition": ArticleViewTopLine, unless a
// test puts a stand-in here; while null, "LastPosition" is not written.
extern std::uint16_t (*ViewTopLine)(const ArticleView* view);
