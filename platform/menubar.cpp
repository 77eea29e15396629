// The shell menu bar: reading its record and making its window.
#include "platform/menubar.h"

#include <cstddef>
#include <span>
#include <vector>

#include "platform/bar_internal.h"
#include "platform/commandbar.h"
#include "platform/menu.h"
#include "platform/resource.h"
#include "platform/window.h"

namespace pf {
namespace {

constexpr std::size_t kHeaderWords = 2;
constexpr std::size_t kWordsPerButton = 7;

std::uint16_t WordAt(std::span<const std::uint8_t> bytes, std::size_t word) {
  const std::size_t at = word * 2;
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

// The buttons of the record, or false when it is damaged or refers to
// something missing. `menu` receives the loaded menu (also on failure; the
// caller destroys it).
bool ReadRecord(const ShellMenuBarInfo& info, HMenu* menu, std::vector<bar::RecordButton>* buttons) {
  const BinaryResource* record = FindRcData(info.recordId);
  if (record == nullptr) return false;
  const std::span<const std::uint8_t> bytes = record->bytes;
  if (bytes.size() < kHeaderWords * 2) return false;
  const std::size_t count = WordAt(bytes, 1);
  if (count < 1 || count > static_cast<std::size_t>(kMaxMenuBarButtons)) return false;
  if (bytes.size() != (kHeaderWords + count * kWordsPerButton) * 2) return false;
  *menu = LoadMenu(info.instance, WordAt(bytes, 0));
  if (*menu == nullptr) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t base = kHeaderWords + i * kWordsPerButton;
    bar::RecordButton b;
    b.image = WordAt(bytes, base);
    b.command = WordAt(bytes, base + 1);
    b.state = static_cast<std::uint8_t>(WordAt(bytes, base + 2) & 0xFF);
    b.style = static_cast<std::uint8_t>(WordAt(bytes, base + 3) & 0xFF);
    const unsigned stringId = WordAt(bytes, base + 4);
    const int popupIndex = WordAt(bytes, base + 6);
    if (b.image == kBarImageNone) {
      const StringResource* text = FindStringResource(stringId);
      if (text == nullptr) return false;
      b.label = SplitMenuText(text->text).label;
    }
    if ((b.style & kBarStyleDropDown) != 0) {
      b.popup = GetSubMenu(*menu, popupIndex);
      if (b.popup == nullptr) return false;
    }
    buttons->push_back(std::move(b));
  }
  return true;
}

}  // namespace

HWin CreateShellMenuBar(const ShellMenuBarInfo& info) {
  if (!IsWindow(info.owner)) return nullptr;
  HMenu menu = nullptr;
  std::vector<bar::RecordButton> buttons;
  if ((info.flags & kMenuBarEmpty) == 0 && !ReadRecord(info, &menu, &buttons)) {
    if (menu != nullptr) DestroyMenu(menu);
    return nullptr;
  }
  const HWin window =
      bar::CreateShellBarWindow(info.owner, menu, std::move(buttons), (info.flags & kMenuBarNoInputButton) == 0);
  if (window == nullptr) return nullptr;
  if (info.bitmapId != 0 && info.bitmapImages > 0) {
    CommandBarAddBitmap(window, info.instance, info.bitmapId, info.bitmapImages, kBarImageSide, kBarImageSide);
  }
  if ((info.flags & kMenuBarHidden) == 0) CommandBarShow(window, true);
  return window;
}

}  // namespace pf
