#include "index/bookmarks.h"

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/app_state.h"
#include "app/settings.h"
#include "platform/constants.h"
#include "platform/msgbox.h"

namespace {

constexpr char16_t kBookmarksValue[] = u"Bookmarks";
constexpr std::uint16_t kPromptOff = 0x0001;

std::uint16_t ReadLittleEndian16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

}  // namespace

void LoadBookmarks() {
  std::uint32_t size = 0;
  auto* stored = static_cast<std::uint8_t*>(ReadSettingBlob(kBookmarksValue, nullptr, &size));
  if (stored == nullptr) return;
  // Entries up to the first 0 entry or the end of the value, whichever comes
  // first; a trailing odd byte is no entry.
  std::size_t count = 0;
  while (count < size / 2 && count < 0xFFFE && ReadLittleEndian16(stored + 2 * count) != 0) ++count;
  auto* list = static_cast<std::uint16_t*>(CheckedAlloc((count + 1) * sizeof(std::uint16_t)));
  if (list == nullptr) {
    ReleaseBlock(stored);
    return;
  }
  for (std::size_t i = 0; i < count; ++i) list[i] = ReadLittleEndian16(stored + 2 * i);
  list[count] = 0;
  ReleaseBlock(stored);
  FreeBookmarks();
  App.Bookmarks = list;
  App.BookmarkCount = static_cast<std::uint16_t>(count);
}

void SaveBookmarks() {
  // The list in memory is already the stored form: little-endian entries and
  // the 0 entry after them.
  static_assert(std::endian::native == std::endian::little, "bookmarks are stored little-endian");
  static const std::uint16_t kNone[1] = {0};
  const std::uint16_t* list = App.Bookmarks != nullptr ? App.Bookmarks : kNone;
  const std::size_t count = App.Bookmarks != nullptr ? App.BookmarkCount : 0;
  WriteSettingBlob(kBookmarksValue, list, static_cast<std::uint32_t>(2 * (count + 1)));
}

void FreeBookmarks() {
  ReleaseBlock(App.Bookmarks);
  App.Bookmarks = nullptr;
  App.BookmarkCount = 0;
}

int IsBookmarked() {
  if (App.Bookmarks == nullptr) return 0;
  for (std::size_t i = 0; i < App.BookmarkCount; ++i) {
    if (App.Bookmarks[i] == App.Lesson) return 1;
  }
  return 0;
}

void AddBookmark() {
  if (IsBookmarked() != 0 || App.BookmarkCount >= 0xFFFE) return;
  const std::size_t count = App.Bookmarks != nullptr ? App.BookmarkCount : 0;
  // The plain allocation: running out here only means the bookmark is not added.
  auto* list = static_cast<std::uint16_t*>(std::malloc((count + 2) * sizeof(std::uint16_t)));
  if (list == nullptr) return;
  if (count != 0) std::memcpy(list, App.Bookmarks, count * sizeof(std::uint16_t));
  list[count] = App.Lesson;
  list[count + 1] = 0;
  FreeBookmarks();
  App.Bookmarks = list;
  App.BookmarkCount = static_cast<std::uint16_t>(count + 1);
}

void RemoveBookmark() {
  if (App.Bookmarks == nullptr) return;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < App.BookmarkCount; ++i) {
    if (App.Bookmarks[i] != App.Lesson) App.Bookmarks[kept++] = App.Bookmarks[i];
  }
  App.Bookmarks[kept] = 0;
  App.BookmarkCount = static_cast<std::uint16_t>(kept);
}

void ToggleBookmark(int bookmarked) {
  if (bookmarked == 0) {
    AddBookmark();
    return;
  }
  if ((App.BookmarkPromptBits & kPromptOff) == 0) {
    const int answer = pf::MessageBox(App.MainWindow, u"Remove Bookmark?\n\nCancel - Don't ask again", u"Bookmark",
                                      pf::kBoxYesNoCancel);
    if (answer == pf::kIdNo) return;
    if (answer == pf::kIdCancel) App.BookmarkPromptBits |= kPromptOff;
  }
  RemoveBookmark();
}
