#pragma once
// The one program-wide record, the device options read at start, and the
// allocation routine every subsystem uses for the buffers it owns.
//
// AppState is cleared by the entry routine before anything else; all of it
// lives on the GUI thread.

#include <cstddef>
#include <cstdint>

#include "platform/handles.h"

struct ArticleView;  // the reading view; owned by AppState once created

// Font face, size and encoding, handed by address to the view, the index list
// and the font dialog. Its layout (72 bytes) is an interface between them.
struct FontBlock {
  char16_t FontName[32];       // zero-terminated, at most 31 units of text
  std::int32_t FontSize;       // 0 = the view's default size
  std::int32_t FontAsciiBase;  // first Hebrew letter in the font: 97, 224 or 1488
};
static_assert(sizeof(FontBlock) == 72, "FontBlock is 72 bytes");

// Default of the "Flags" setting: bits 31, 30, 28, 24, 20, 18 and 6.
constexpr std::uint32_t kDefaultFlags = 0xD1140040u;
constexpr std::uint32_t kFlagChosenByHand = 0x00000004u;
constexpr std::uint32_t kFlagScrollBarMask = 0x000000C0u;
constexpr std::uint32_t kFlagReverse = 0x00000800u;
constexpr std::uint32_t kFlagKeyPageMask = 0x00700000u;
constexpr int kFlagKeyPageShift = 20;
constexpr std::uint32_t kFlagTapPageMask = 0x07000000u;
constexpr int kFlagTapPageShift = 24;
constexpr std::uint32_t kFlagTapZonesVertical = 0x10000000u;
constexpr std::uint32_t kFlagTapScrolling = 0x80000000u;

constexpr int kDefaultAsciiBase = 1488;
constexpr std::size_t kSearchStringSize = 34;  // bytes, terminator included

struct AppState {
  pf::HInstance Instance;
  // Settings, in this order.
  FontBlock Font;               // FontName, FontSize, FontAsciiBase
  std::uint16_t LastPosition;   // the view's topLine to restore
  std::uint32_t Flags;          // option bits, kFlag* above
  std::uint16_t Lesson;         // 1 to 245 once chosen; 0 before
  std::uint8_t SearchString[kSearchStringSize];  // BookCode, zero-terminated
  // Program state.
  ArticleView* View;            // owned; null until the main window exists
  std::int32_t ShellMenuBar;    // nonzero: shell menu bar instead of command bar
  std::int32_t BarHeight;       // pixels
  std::int32_t Gutter;          // "SurroundingGutter" in pixels
  pf::HWin BarWindow;
  pf::HWin MainWindow;
  pf::HBitmap IndexBitmaps[3];  // 201 plus box, 202 minus box, 203 document
  std::uint16_t BookmarkCount;
  std::uint16_t* Bookmarks;     // owned; BookmarkList ended by a 0 entry
  std::uint16_t BookmarkPromptBits;  // bit 0: don't ask before removing
  std::int32_t TodayRequested;  // 1 when the command line was "/today"
};

extern AppState App;

// Device options (key "software\Brellum"), read once at start.
extern std::int32_t IgnoreActivate;
extern std::int32_t FullScreen;
extern std::int32_t AllowSipInHebrewSearch;  // starts as 1 before it is read
// The system task bar, found at start in full-screen mode; null otherwise.
extern pf::HWin TaskBar;

// Returns a block of `size` bytes owned by the caller (release it with
// ReleaseBlock), or null after telling the user "There is not enough memory,
// aborting" and running ShutDown. A caller that gets null must stop what it is
// doing at once: ShutDown may have released the state it was working on.
void* CheckedAlloc(std::size_t size);
// Releases a block from CheckedAlloc; null is allowed.
void ReleaseBlock(void* block);

// Test hook: the n-th CheckedAlloc from now fails (1 = the next one);
// 0 turns the hook off. CheckedAllocCount counts calls since the last reset.
void SetAllocFailureAt(unsigned long n);
unsigned long CheckedAllocCount();
