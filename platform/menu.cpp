// Menus and the tracking of pop-up menus.
#include "platform/menu.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/constants.h"
#include "platform/controls_draw.h"
#include "platform/font.h"
#include "platform/message.h"
#include "platform/resource.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace pf {
namespace {

constexpr std::uint32_t kStateBits = kMenuGrayed | kMenuDisabled | kMenuChecked;

struct MenuItem {
  std::u16string text;
  std::uint32_t id = 0;
  std::uint32_t flags = 0;  // kStateBits plus kMenuSeparator / kMenuPopup
  HMenu popup = nullptr;    // owned, for kMenuPopup
};

struct MenuRecord {
  HMenu self = nullptr;
  bool bar = false;
  HMenu parent = nullptr;  // the menu this one hangs from, or null
  std::vector<MenuItem> items;
};

struct Menus {
  std::map<std::uint64_t, std::unique_ptr<MenuRecord>> live;
  std::uint64_t nextId = 1;
};

Menus& M() {
  static Menus menus;
  return menus;
}

HMenu HandleOf(std::uint64_t id) { return reinterpret_cast<HMenu>(static_cast<std::uintptr_t>(id)); }
std::uint64_t IdOf(HMenu h) { return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(h)); }

MenuRecord* Find(HMenu h) {
  if (h == nullptr) return nullptr;
  const auto it = M().live.find(IdOf(h));
  return it == M().live.end() ? nullptr : it->second.get();
}

HMenu Make(bool bar) {
  auto record = std::make_unique<MenuRecord>();
  record->bar = bar;
  const std::uint64_t id = M().nextId++;
  record->self = HandleOf(id);
  M().live[id] = std::move(record);
  return HandleOf(id);
}

// An item found by command or position: its menu and index.
struct ItemRef {
  MenuRecord* menu = nullptr;
  std::size_t index = 0;
  MenuItem* item() const { return menu != nullptr ? &menu->items[index] : nullptr; }
};

ItemRef FindById(MenuRecord* menu, std::uint32_t id, int depth) {
  if (menu == nullptr || depth > kMaxMenuDepth) return {};
  for (std::size_t i = 0; i < menu->items.size(); ++i) {
    MenuItem& item = menu->items[i];
    if ((item.flags & kMenuPopup) != 0) {
      const ItemRef inner = FindById(Find(item.popup), id, depth + 1);
      if (inner.menu != nullptr) return inner;
    } else if ((item.flags & kMenuSeparator) == 0 && item.id == id) {
      return ItemRef{menu, i};
    }
  }
  return {};
}

ItemRef FindItem(HMenu h, unsigned item, std::uint32_t flags) {
  MenuRecord* menu = Find(h);
  if (menu == nullptr) return {};
  if ((flags & kMenuByPosition) != 0) {
    if (item >= menu->items.size()) return {};
    return ItemRef{menu, item};
  }
  return FindById(menu, item, 0);
}

// h is `of` or hangs (at any depth) below it.
bool IsSelfOrBelow(HMenu h, HMenu of) {
  // A chain of parents is never longer than the number of menus.
  for (std::size_t steps = 0; h != nullptr && steps <= M().live.size(); ++steps) {
    if (h == of) return true;
    const MenuRecord* record = Find(h);
    h = record != nullptr ? record->parent : nullptr;
  }
  return false;
}

bool MakeItem(HMenu menu, std::uint32_t flags, std::uintptr_t idOrPopup, std::u16string_view text, MenuItem* out) {
  MenuItem item;
  item.flags = flags & (kStateBits | kMenuSeparator | kMenuPopup);
  if ((item.flags & kMenuSeparator) != 0) {
    item.flags = kMenuSeparator;
    *out = item;
    return true;
  }
  item.text = std::u16string(text);
  if ((item.flags & kMenuPopup) != 0) {
    const HMenu popup = reinterpret_cast<HMenu>(idOrPopup);
    MenuRecord* p = Find(popup);
    if (p == nullptr || p->parent != nullptr || IsSelfOrBelow(menu, popup)) return false;
    item.popup = popup;
  } else {
    item.id = static_cast<std::uint32_t>(idOrPopup);
  }
  *out = item;
  return true;
}

void Insert(HMenu menu, std::size_t at, MenuItem item) {
  MenuRecord* record = Find(menu);
  if (item.popup != nullptr) Find(item.popup)->parent = menu;
  record->items.insert(record->items.begin() + static_cast<std::ptrdiff_t>(std::min(at, record->items.size())),
                       std::move(item));
}

bool Fill(HMenu menu, std::span<const MenuTemplateItem> items, int depth) {
  if (depth > kMaxMenuDepth) return false;
  for (const MenuTemplateItem& t : items) {
    if ((t.flags & kMenuSeparator) != 0) {
      if (!AppendMenu(menu, kMenuSeparator, 0, {})) return false;
    } else if ((t.flags & kMenuPopup) != 0) {
      const HMenu popup = CreatePopupMenu();
      if (!Fill(popup, t.popup, depth + 1) ||
          !AppendMenu(menu, (t.flags & kStateBits) | kMenuPopup, reinterpret_cast<std::uintptr_t>(popup), t.text)) {
        DestroyMenu(popup);
        return false;
      }
    } else if (!AppendMenu(menu, t.flags & kStateBits, t.id, t.text)) {
      return false;
    }
  }
  return true;
}

// ---------------------------------------------------------------------------
// Tracking

constexpr std::u16string_view kPopupClass = u"CorvellaPopupMenu";
constexpr int kItemPadding = 1;        // above and below an item's text: the whole
                                       // menu of the program fits below a top bar
constexpr int kMinItemHeight = 16;
constexpr int kSeparatorHeight = 7;
constexpr int kCheckColumn = 14;       // left of the labels
constexpr int kShortcutGap = 12;       // between the widest label and the shortcuts
constexpr int kSubMenuColumn = 12;     // right of the shortcuts, when a pop-up item is there
constexpr int kRightPadding = 4;
constexpr int kBorder = 1;

struct Row {
  MenuTextParts parts;
  std::uint32_t flags = 0;
  std::uint32_t id = 0;
  Rect rect;  // client coordinates
};

struct Tracking {
  HMenu menu = nullptr;
  HWin window = nullptr;
  std::vector<Row> rows;
  int shortcutLeft = 0;
  int highlight = -1;
  bool pressed = false;  // the stylus is down inside the menu
  // A lift chooses only after a press inside the menu or a drag: the lift
  // of the press that dropped the menu must not choose the item that
  // happens to lie under it.
  bool armed = false;
  bool done = false;
  std::uint32_t chosen = 0;
  bool haveChoice = false;
};

std::vector<Tracking*>& TrackStack() {
  static std::vector<Tracking*> stack;
  return stack;
}

bool Choosable(const Row& row) {
  return (row.flags & (kMenuSeparator | kMenuGrayed | kMenuDisabled | kMenuPopup)) == 0;
}

void Redraw(Tracking& t) {
  if (IsWindow(t.window)) InvalidateRect(t.window, nullptr, false);
}

void SetHighlight(Tracking& t, int index) {
  if (index >= 0 && (static_cast<std::size_t>(index) >= t.rows.size() ||
                     (t.rows[static_cast<std::size_t>(index)].flags & kMenuSeparator) != 0)) {
    index = -1;
  }
  if (index == t.highlight) return;
  t.highlight = index;
  Redraw(t);
}

void Choose(Tracking& t, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= t.rows.size()) return;
  const Row& row = t.rows[static_cast<std::size_t>(index)];
  if (!Choosable(row)) return;
  t.chosen = row.id;
  t.haveChoice = true;
  t.done = true;
}

int RowAt(const Tracking& t, Point client) {
  for (std::size_t i = 0; i < t.rows.size(); ++i) {
    if (t.rows[i].rect.Contains(client)) return static_cast<int>(i);
  }
  return -1;
}

void PaintMenu(const Tracking& t, HDc dc) {
  Rect client;
  GetClientRect(t.window, &client);
  controls::Fill(dc, client, controls::kMenuColor);
  controls::Frame(dc, client, controls::kDarkColor);
  for (std::size_t i = 0; i < t.rows.size(); ++i) {
    const Row& row = t.rows[i];
    if ((row.flags & kMenuSeparator) != 0) {
      const int y = row.rect.top + row.rect.Height() / 2;
      controls::Fill(dc, Rect{row.rect.left + 2, y, row.rect.right - 2, y + 1}, controls::kShadowColor);
      continue;
    }
    const bool lit = static_cast<int>(i) == t.highlight;
    const bool gray = (row.flags & (kMenuGrayed | kMenuDisabled)) != 0;
    if (lit) controls::Fill(dc, row.rect, controls::kHighlightColor);
    const ColorRef color = gray ? controls::kGrayTextColor
                           : lit ? controls::kHighlightTextColor
                                 : controls::kDarkColor;
    if ((row.flags & kMenuChecked) != 0) {
      controls::CheckMark(dc, Rect{row.rect.left, row.rect.top, row.rect.left + kCheckColumn, row.rect.bottom}, color);
    }
    const Rect label{row.rect.left + kCheckColumn, row.rect.top, row.rect.right - kRightPadding, row.rect.bottom};
    controls::Label(dc, row.parts.label, label, kDtLeft | kDtVCenter, color, row.parts.mnemonic);
    if (!row.parts.shortcut.empty()) {
      const Rect shortcut{t.shortcutLeft, row.rect.top, row.rect.right - kRightPadding, row.rect.bottom};
      controls::Label(dc, row.parts.shortcut, shortcut, kDtLeft | kDtVCenter, color);
    }
    if ((row.flags & kMenuPopup) != 0) {
      const Rect arrow{row.rect.right - kSubMenuColumn, row.rect.top, row.rect.right - 2, row.rect.bottom};
      controls::Arrow(dc, arrow, controls::ArrowDirection::Right, 4, color);
    }
  }
}

Tracking* TrackingOf(HWin window) { return reinterpret_cast<Tracking*>(GetWindowUserData(window)); }

LResult PopupProc(HWin window, std::uint32_t message, WParam wParam, LParam lParam) {
  switch (message) {
    case kMsgCreate: {
      const auto* info = reinterpret_cast<const CreateInfo*>(lParam);
      SetWindowUserData(window, reinterpret_cast<LParam>(info->param));
      return 0;
    }
    case kMsgPaint: {
      PaintInfo paint;
      if (const HDc dc = BeginPaint(window, &paint)) {
        if (const Tracking* t = TrackingOf(window)) PaintMenu(*t, dc);
        EndPaint(window, &paint);
      }
      return 0;
    }
    case kMsgEraseBackground:
      return 1;
    case kMsgActivate:
      // Another window took over (a tap elsewhere): the menu goes.
      if ((wParam & 0xFFFF) == kActivateInactive) {
        if (Tracking* t = TrackingOf(window)) t->done = true;
      }
      return 0;
    case kMsgClose:
    case kMsgCancelMode:
      if (Tracking* t = TrackingOf(window)) t->done = true;
      return 0;
    default:
      return DefaultWindowProc(window, message, wParam, lParam);
  }
}

// Where a stylus message lands on the screen, or false when it is not one.
bool StylusPoint(const Msg& msg, Point* screen, std::uint32_t* plain) {
  const auto unpack = [](LParam l) {
    return Point{static_cast<std::int16_t>(l & 0xFFFF), static_cast<std::int16_t>((l >> 16) & 0xFFFF)};
  };
  switch (msg.message) {
    case kMsgLButtonDown:
    case kMsgLButtonUp:
    case kMsgMouseMove: {
      *plain = msg.message;
      *screen = unpack(msg.lParam);
      return ClientToScreen(msg.window, screen);
    }
    case kMsgNcLButtonDown:
    case kMsgNcLButtonUp:
    case kMsgNcMouseMove: {
      *plain = msg.message == kMsgNcLButtonDown ? kMsgLButtonDown
               : msg.message == kMsgNcLButtonUp ? kMsgLButtonUp
                                                : kMsgMouseMove;
      Rect r;
      if (!GetWindowRect(msg.window, &r)) return false;
      const Point p = unpack(msg.lParam);
      *screen = Point{r.left + p.x, r.top + p.y};
      return true;
    }
    default:
      return false;
  }
}

void OnStylus(Tracking& t, std::uint32_t message, Point screen) {
  Rect frame;
  if (!GetWindowRect(t.window, &frame)) {
    t.done = true;
    return;
  }
  const bool inside = frame.Contains(screen);
  const Point client{screen.x - frame.left, screen.y - frame.top};
  const int row = inside ? RowAt(t, client) : -1;
  switch (message) {
    case kMsgLButtonDown:
      if (!inside) {
        t.done = true;  // a press outside dismisses, and is consumed
        return;
      }
      t.pressed = true;
      t.armed = true;
      SetHighlight(t, row);
      return;
    case kMsgMouseMove:
      // Dragging (or hovering) over the menu follows the stylus; leaving the
      // menu keeps the highlight only while not pressed.
      if (inside || t.pressed) SetHighlight(t, row);
      t.armed = true;
      return;
    case kMsgLButtonUp:
      t.pressed = false;
      if (row >= 0 && t.armed) {
        Choose(t, row);
      }
      t.armed = false;
      return;
    default:
      return;
  }
}

void MoveHighlight(Tracking& t, int step) {
  const int n = static_cast<int>(t.rows.size());
  int at = t.highlight;
  for (int tries = 0; tries < n; ++tries) {
    at = at < 0 ? (step > 0 ? 0 : n - 1) : (at + step + n) % n;
    const Row& row = t.rows[static_cast<std::size_t>(at)];
    if ((row.flags & (kMenuSeparator | kMenuGrayed | kMenuDisabled)) == 0) {
      SetHighlight(t, at);
      return;
    }
  }
}

char16_t Fold(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

void OnChar(Tracking& t, WParam unit) {
  const char16_t typed = Fold(static_cast<char16_t>(unit & 0xFFFF));
  for (std::size_t i = 0; i < t.rows.size(); ++i) {
    const Row& row = t.rows[i];
    if (row.parts.mnemonic < 0 || !Choosable(row)) continue;
    if (Fold(row.parts.label[static_cast<std::size_t>(row.parts.mnemonic)]) == typed) {
      SetHighlight(t, static_cast<int>(i));
      Choose(t, static_cast<int>(i));
      return;
    }
  }
}

void OnKey(Tracking& t, WParam key) {
  switch (key) {
    case kVkUp:
      MoveHighlight(t, -1);
      break;
    case kVkDown:
      MoveHighlight(t, +1);
      break;
    case kVkReturn:
      if (t.highlight >= 0) {
        Choose(t, t.highlight);
      }
      break;
    case kVkEscape:
    case kVkLeft:
      t.done = true;
      break;
    default:
      // Letters and digits choose by mnemonic (the keys are not translated
      // into characters while the menu has them).
      if ((key >= kVkA && key <= kVkZ) || (key >= kVk0 && key <= kVk9)) OnChar(t, key);
      break;
  }
}

// Lays the rows out; returns the client size.
Size LayOut(Tracking& t, const MenuRecord& menu) {
  const int cell = controls::LabelExtent(u"").cy;
  const int itemHeight = std::max(cell + 2 * kItemPadding, kMinItemHeight);
  int labelWidth = 0;
  int shortcutWidth = 0;
  bool anyPopup = false;
  for (const MenuItem& item : menu.items) {
    Row row;
    row.flags = item.flags;
    row.id = item.id;
    if ((item.flags & kMenuSeparator) == 0) {
      row.parts = SplitMenuText(item.text);
      labelWidth = std::max(labelWidth, controls::LabelExtent(row.parts.label).cx);
      if (!row.parts.shortcut.empty()) {
        shortcutWidth = std::max(shortcutWidth, controls::LabelExtent(row.parts.shortcut).cx);
      }
      anyPopup = anyPopup || (item.flags & kMenuPopup) != 0;
    }
    t.rows.push_back(std::move(row));
  }
  const int screenW = ScreenWidth();
  int width = kCheckColumn + labelWidth + (shortcutWidth > 0 ? kShortcutGap + shortcutWidth : 0) +
              (anyPopup ? kSubMenuColumn : 0) + kRightPadding;
  width = std::min(width, std::max(32, screenW - 2 * kBorder));
  // The shortcuts start together, as far right as the widest allows (over
  // the labels' room when the menu had to be narrowed to the screen).
  t.shortcutLeft = kBorder + width - kRightPadding - (anyPopup ? kSubMenuColumn : 0) - shortcutWidth;
  int y = kBorder;
  for (Row& row : t.rows) {
    const int h = (row.flags & kMenuSeparator) != 0 ? kSeparatorHeight : itemHeight;
    row.rect = Rect{kBorder, y, kBorder + width, y + h};
    y += h;
  }
  return Size{width + 2 * kBorder, y + kBorder};
}

}  // namespace

// ---------------------------------------------------------------------------

HMenu CreateMenu() { return Make(true); }
HMenu CreatePopupMenu() { return Make(false); }

bool IsMenu(HMenu menu) { return Find(menu) != nullptr; }

bool DestroyMenu(HMenu menu) {
  MenuRecord* record = Find(menu);
  if (record == nullptr) return false;
  if (MenuRecord* parent = Find(record->parent)) {
    // Unhook it from the menu it hangs from.
    auto& items = parent->items;
    items.erase(std::remove_if(items.begin(), items.end(),
                               [menu](const MenuItem& item) { return item.popup == menu; }),
                items.end());
  }
  std::vector<HMenu> below;
  for (const MenuItem& item : record->items) {
    if (item.popup != nullptr) below.push_back(item.popup);
  }
  M().live.erase(IdOf(menu));
  for (HMenu popup : below) {
    if (MenuRecord* p = Find(popup)) p->parent = nullptr;
    DestroyMenu(popup);
  }
  return true;
}

HMenu LoadMenu(HInstance, unsigned id) {
  const MenuResource* resource = FindMenuResource(id);
  if (resource == nullptr) return nullptr;
  const HMenu menu = CreateMenu();
  if (!Fill(menu, resource->items, 1)) {
    DestroyMenu(menu);
    return nullptr;
  }
  return menu;
}

bool AppendMenu(HMenu menu, std::uint32_t flags, std::uintptr_t idOrPopup, std::u16string_view text) {
  MenuRecord* record = Find(menu);
  if (record == nullptr) return false;
  MenuItem item;
  if (!MakeItem(menu, flags, idOrPopup, text, &item)) return false;
  Insert(menu, record->items.size(), std::move(item));
  return true;
}

bool InsertMenu(HMenu menu, unsigned position, std::uint32_t flags, std::uintptr_t idOrPopup,
                std::u16string_view text) {
  MenuRecord* record = Find(menu);
  if (record == nullptr) return false;
  HMenu target = menu;
  std::size_t at = record->items.size();
  if ((flags & kMenuByPosition) != 0) {
    at = std::min<std::size_t>(position, record->items.size());
  } else {
    const ItemRef ref = FindById(record, position, 0);
    if (ref.menu == nullptr) return false;
    at = ref.index;
    target = ref.menu->self;  // the pop-up that holds the item
  }
  MenuItem item;
  if (!MakeItem(target, flags, idOrPopup, text, &item)) return false;
  Insert(target, at, std::move(item));
  return true;
}

bool DeleteMenu(HMenu menu, unsigned position, std::uint32_t flags) {
  const ItemRef ref = FindItem(menu, position, flags);
  if (ref.menu == nullptr) return false;
  const HMenu popup = ref.item()->popup;
  ref.menu->items.erase(ref.menu->items.begin() + static_cast<std::ptrdiff_t>(ref.index));
  if (popup != nullptr) {
    if (MenuRecord* p = Find(popup)) p->parent = nullptr;
    DestroyMenu(popup);
  }
  return true;
}

int GetMenuItemCount(HMenu menu) {
  const MenuRecord* record = Find(menu);
  return record == nullptr ? -1 : static_cast<int>(record->items.size());
}

std::uint32_t GetMenuItemId(HMenu menu, int position) {
  const MenuRecord* record = Find(menu);
  if (record == nullptr || position < 0 || static_cast<std::size_t>(position) >= record->items.size()) {
    return kMenuNoId;
  }
  const MenuItem& item = record->items[static_cast<std::size_t>(position)];
  if ((item.flags & kMenuPopup) != 0) return kMenuNoId;
  return (item.flags & kMenuSeparator) != 0 ? 0 : item.id;
}

HMenu GetSubMenu(HMenu menu, int position) {
  const MenuRecord* record = Find(menu);
  if (record == nullptr || position < 0 || static_cast<std::size_t>(position) >= record->items.size()) {
    return nullptr;
  }
  return record->items[static_cast<std::size_t>(position)].popup;
}

std::u16string GetMenuItemText(HMenu menu, unsigned item, std::uint32_t flags) {
  const ItemRef ref = FindItem(menu, item, flags);
  return ref.menu == nullptr ? std::u16string{} : ref.item()->text;
}

std::uint32_t CheckMenuItem(HMenu menu, unsigned item, std::uint32_t flags) {
  const ItemRef ref = FindItem(menu, item, flags);
  if (ref.menu == nullptr) return kMenuNotFound;
  MenuItem* it = ref.item();
  const std::uint32_t before = it->flags & kMenuChecked;
  if ((it->flags & kMenuSeparator) == 0) {
    it->flags = (it->flags & ~kMenuChecked) | (flags & kMenuChecked);
  }
  return before;
}

std::uint32_t EnableMenuItem(HMenu menu, unsigned item, std::uint32_t flags) {
  const ItemRef ref = FindItem(menu, item, flags);
  if (ref.menu == nullptr) return kMenuNotFound;
  MenuItem* it = ref.item();
  const std::uint32_t before = it->flags & (kMenuGrayed | kMenuDisabled);
  if ((it->flags & kMenuSeparator) == 0) {
    it->flags = (it->flags & ~(kMenuGrayed | kMenuDisabled)) | (flags & (kMenuGrayed | kMenuDisabled));
  }
  return before;
}

std::uint32_t GetMenuState(HMenu menu, unsigned item, std::uint32_t flags) {
  const ItemRef ref = FindItem(menu, item, flags);
  if (ref.menu == nullptr) return kMenuNotFound;
  return ref.item()->flags & (kStateBits | kMenuSeparator | kMenuPopup);
}

MenuTextParts SplitMenuText(std::u16string_view text) {
  MenuTextParts parts;
  const std::size_t mark = text.find(kMenuShortcutMark);
  const std::u16string_view label = text.substr(0, mark);
  if (mark != std::u16string_view::npos) parts.shortcut = std::u16string(text.substr(mark + 1));
  for (std::size_t i = 0; i < label.size(); ++i) {
    if (label[i] == u'&' && i + 1 < label.size()) {
      ++i;
      if (label[i] != u'&' && parts.mnemonic < 0) parts.mnemonic = static_cast<int>(parts.label.size());
    } else if (label[i] == u'&') {
      continue;  // a lone '&' at the end marks nothing
    }
    parts.label.push_back(label[i]);
  }
  return parts;
}

std::intptr_t TrackPopupMenu(HMenu menu, std::uint32_t flags, int x, int y, HWin owner) {
  if (Find(menu) == nullptr || !IsWindow(owner) || Find(menu)->items.empty() || !PlatformRunning() ||
      !EnsureWindowClass(kPopupClass, PopupProc)) {
    return 0;
  }
  SendMessage(owner, kMsgInitMenuPopup, reinterpret_cast<WParam>(menu), 0);
  const MenuRecord* record = Find(menu);
  if (record == nullptr || record->items.empty() || !IsWindow(owner)) return 0;

  Tracking t;
  t.menu = menu;
  const Size size = LayOut(t, *record);
  int left = x;
  if ((flags & kTrackCenterAlign) != 0) {
    left = x - size.cx / 2;
  } else if ((flags & kTrackRightAlign) != 0) {
    left = x - size.cx;
  }
  int top = y;
  if ((flags & kTrackVCenterAlign) != 0) {
    top = y - size.cy / 2;
  } else if ((flags & kTrackBottomAlign) != 0) {
    top = y - size.cy;
  }
  left = std::max(0, std::min(left, ScreenWidth() - size.cx));
  top = std::max(0, std::min(top, ScreenHeight() - size.cy));

  const HWin ownerTop = GetTopLevelWindow(owner);
  // The menu takes the activation while it is open; with the owner's title
  // the task bar goes on showing the program's name.
  t.window = CreateWindow(kExStyleTopmost, kPopupClass, GetWindowText(ownerTop), kStylePopup | kStyleVisible, left,
                          top, size.cx, size.cy, ownerTop, 0, nullptr, &t);
  if (t.window == nullptr) return 0;
  TrackStack().push_back(&t);
  const HWin window = t.window;
  RunModalLoop([&t, window] { return t.done || !IsWindow(window); },
               [&t](Msg& msg) {
                 Point screen;
                 std::uint32_t plain = 0;
                 if (StylusPoint(msg, &screen, &plain)) {
                   OnStylus(t, plain, screen);
                   return true;
                 }
                 switch (msg.message) {
                   case kMsgKeyDown:
                     OnKey(t, msg.wParam);
                     return true;
                   case kMsgChar:
                     OnChar(t, msg.wParam);
                     return true;
                   case kMsgKeyUp:
                     return true;
                   default:
                     return false;
                 }
               });
  auto& stack = TrackStack();
  stack.erase(std::remove(stack.begin(), stack.end(), &t), stack.end());
  if (IsWindow(window)) {
    SetWindowUserData(window, 0);
    DestroyWindow(window);
  }
  if (!t.haveChoice) return (flags & kTrackReturnCommand) != 0 ? 0 : 1;
  if ((flags & kTrackReturnCommand) != 0) return static_cast<std::intptr_t>(t.chosen);
  if (IsWindow(owner)) PostMessage(owner, kMsgCommand, static_cast<WParam>(t.chosen & 0xFFFF), 0);
  return 1;
}

HWin GetTrackedMenuWindow() {
  const auto& stack = TrackStack();
  return stack.empty() ? nullptr : stack.back()->window;
}

}  // namespace pf
