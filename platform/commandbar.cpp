// The bar window shared by the command bar and the shell menu bar: its
// buttons, pictures, tooltips, painting and stylus handling.
#include "platform/commandbar.h"

#include <algorithm>
#include <memory>

#include "platform/bar_internal.h"
#include "platform/constants.h"
#include "platform/controls_draw.h"
#include "platform/font.h"
#include "platform/gdi.h"
#include "platform/menu.h"
#include "platform/menubar.h"
#include "platform/message.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/window.h"

namespace pf {
namespace {

constexpr std::u16string_view kBarClass = u"CorvellaCommandBar";
constexpr std::u16string_view kToolTipClass = u"CorvellaToolTip";
constexpr int kBarMargin = 2;      // left of the first button, right of the last
constexpr int kButtonInset = 2;    // above and below the buttons
constexpr int kToolTipPadding = 4;
constexpr int kToolTipGap = 2;     // between the bar and its tooltip
constexpr int kMaxImageSide = 256;

struct Item {
  BarButtonKind kind = BarButtonKind::Image;
  int command = 0;
  int image = kBarImageNone;
  std::uint8_t state = kBarStateEnabled;
  std::uint8_t style = kBarStyleButton;
  std::u16string label;
  HMenu popup = nullptr;  // Menu and drop-down Text buttons (owned through `menu`)
  Rect rect;              // set by LayOut
};

struct Strip {
  HBitmap bitmap = nullptr;  // owned
  int first = 0;
  int count = 0;
  int width = 0;
  int height = 0;
};

struct Bar {
  bool shell = false;
  HWin notify = nullptr;  // where commands go
  HMenu menu = nullptr;   // owned
  std::vector<Item> items;   // menu, text, image and separator buttons in order
  std::vector<Item> extras;  // close, help, ok, input panel: laid out from the right
  std::vector<Strip> strips;
  int imageCount = 0;
  std::vector<std::u16string> tips;
  bool adorned = false;
  // Stylus.
  int pressed = -1;  // index into AllButtons order (items, then extras), -1 none
  bool pressedInside = false;
  int hover = -1;
  HWin toolTip = nullptr;
};

Bar* BarOf(HWin window) {
  if (!IsWindow(window) || GetClassName(window) != kBarClass) return nullptr;
  return reinterpret_cast<Bar*>(GetWindowUserData(window));
}

HWin& ShownToolTip() {
  static HWin shown = nullptr;
  return shown;
}

// The button at index i of items followed by extras.
Item* ButtonAt(Bar& bar, int i) {
  if (i < 0) return nullptr;
  const auto n = static_cast<std::size_t>(i);
  if (n < bar.items.size()) return &bar.items[n];
  if (n - bar.items.size() < bar.extras.size()) return &bar.extras[n - bar.items.size()];
  return nullptr;
}
int ButtonCount(const Bar& bar) { return static_cast<int>(bar.items.size() + bar.extras.size()); }

bool Hidden(const Item& item) { return (item.state & kBarStateHidden) != 0; }
bool Enabled(const Item& item) { return (item.state & kBarStateEnabled) != 0; }

void LayOut(HWin window, Bar& bar) {
  Rect client;
  GetClientRect(window, &client);
  const int top = kButtonInset;
  const int bottom = std::max(top, client.bottom - kButtonInset);
  int x = kBarMargin;
  for (Item& item : bar.items) {
    int width = 0;
    if (!Hidden(item)) {
      switch (item.kind) {
        case BarButtonKind::Menu:
        case BarButtonKind::Text:
          width = controls::LabelExtent(item.label).cx + 2 * kBarTextButtonPadding;
          break;
        case BarButtonKind::Separator:
          width = kBarSeparatorWidth;
          break;
        default:
          width = kBarImageButtonWidth;
          break;
      }
    }
    item.rect = Rect{x, top, x + width, bottom};
    x += width;
  }
  int right = client.right - kBarMargin;
  for (Item& item : bar.extras) {
    const int width = item.kind == BarButtonKind::InputPanel ? kMenuBarInputButtonWidth : kBarCloseButtonWidth;
    item.rect = Rect{right - width, top, right, bottom};
    right -= width + 1;
  }
}

int HitButton(HWin window, Bar& bar, Point p) {
  LayOut(window, bar);
  for (int i = 0; i < ButtonCount(bar); ++i) {
    const Item* item = ButtonAt(bar, i);
    if (!Hidden(*item) && item->kind != BarButtonKind::Separator && item->rect.Contains(p)) return i;
  }
  return -1;
}

// The tooltip text of button i (empty when none): the n-th non-separator
// button among the items gets the n-th text.
std::u16string ToolTipOf(const Bar& bar, int i) {
  if (i < 0 || static_cast<std::size_t>(i) >= bar.items.size()) return {};
  std::size_t n = 0;
  for (int k = 0; k < i; ++k) {
    if (bar.items[static_cast<std::size_t>(k)].kind != BarButtonKind::Separator) ++n;
  }
  if (bar.items[static_cast<std::size_t>(i)].kind == BarButtonKind::Separator) return {};
  return n < bar.tips.size() ? bar.tips[n] : std::u16string{};
}

// ---------------------------------------------------------------------------
// Tooltip window

LResult ToolTipProc(HWin window, std::uint32_t message, WParam wParam, LParam lParam) {
  switch (message) {
    case kMsgNcHitTest:
      return kHitTransparent;
    case kMsgEraseBackground:
      return 1;
    case kMsgPaint: {
      PaintInfo paint;
      if (const HDc dc = BeginPaint(window, &paint)) {
        Rect client;
        GetClientRect(window, &client);
        controls::Fill(dc, client, controls::kToolTipColor);
        controls::Frame(dc, client, controls::kDarkColor);
        controls::Label(dc, GetWindowText(window), client, kDtCenter | kDtVCenter, controls::kDarkColor);
        EndPaint(window, &paint);
      }
      return 0;
    }
    case kMsgDestroy:
      if (ShownToolTip() == window) ShownToolTip() = nullptr;
      return 0;
    default:
      return DefaultWindowProc(window, message, wParam, lParam);
  }
}

void HideToolTip(Bar& bar) {
  if (bar.toolTip != nullptr && IsWindow(bar.toolTip) && IsWindowVisible(bar.toolTip)) {
    ShowWindow(bar.toolTip, kShowHide);
  }
  if (ShownToolTip() == bar.toolTip) ShownToolTip() = nullptr;
}

void ShowToolTip(HWin window, Bar& bar, int button) {
  const std::u16string text = ToolTipOf(bar, button);
  const Item* item = ButtonAt(bar, button);
  if (text.empty() || item == nullptr) {
    HideToolTip(bar);
    return;
  }
  if (bar.toolTip == nullptr || !IsWindow(bar.toolTip)) {
    if (!EnsureWindowClass(kToolTipClass, ToolTipProc)) return;
    bar.toolTip = CreateWindow(kExStyleTopmost, kToolTipClass, u"", kStylePopup, 0, 0, 1, 1,
                               GetTopLevelWindow(window), 0, nullptr, nullptr);
    if (bar.toolTip == nullptr) return;
  }
  const Size extent = controls::LabelExtent(text);
  const int width = std::min(extent.cx + 2 * kToolTipPadding, ScreenWidth());
  const int height = extent.cy + kToolTipPadding;
  Rect barRect;
  GetWindowRect(window, &barRect);
  Point origin{item->rect.left, 0};
  ClientToScreen(window, &origin);
  int x = std::clamp(origin.x, 0, std::max(0, ScreenWidth() - width));
  // Below a bar in the upper half of the screen, above one in the lower half.
  int y = barRect.bottom + kToolTipGap;
  if (barRect.top + barRect.Height() / 2 > ScreenHeight() / 2) y = barRect.top - kToolTipGap - height;
  y = std::clamp(y, 0, std::max(0, ScreenHeight() - height));
  SetWindowText(bar.toolTip, text);
  MoveWindow(bar.toolTip, x, y, width, height, true);
  ShowWindow(bar.toolTip, kShowNA);
  BringWindowToTop(bar.toolTip);
  ShownToolTip() = bar.toolTip;
}

// ---------------------------------------------------------------------------
// Painting

void DrawImage(HDc dc, const Bar& bar, int image, const Rect& r, int shift) {
  for (const Strip& s : bar.strips) {
    if (image < s.first || image >= s.first + s.count) continue;
    const HDc memory = CreateCompatibleDc(dc);
    if (memory == nullptr) return;
    const HObj old = SelectObject(memory, s.bitmap);
    if (old != nullptr) {
      const int x = r.left + (r.Width() - s.width) / 2 + shift;
      const int y = r.top + (r.Height() - s.height) / 2 + shift;
      BitBlt(dc, x, y, s.width, s.height, memory, (image - s.first) * s.width, 0, RasterOp::SrcCopy);
      SelectObject(memory, old);
    }
    DeleteDc(memory);
    return;
  }
}

void DrawCross(HDc dc, const Rect& r, int shift) {
  const int size = std::min(r.Width(), r.Height()) - 10;
  if (size < 3) return;
  const int left = r.left + (r.Width() - size) / 2 + shift;
  const int top = r.top + (r.Height() - size) / 2 + shift;
  for (int i = 0; i < size; ++i) {
    controls::Fill(dc, Rect{left + i, top + i, left + i + 2, top + i + 1}, controls::kDarkColor);
    controls::Fill(dc, Rect{left + size - 2 - i, top + i, left + size - i, top + i + 1}, controls::kDarkColor);
  }
}

void DrawKeyboard(HDc dc, const Rect& r, int shift) {
  const int left = r.left + (r.Width() - 16) / 2 + shift;
  const int top = r.top + (r.Height() - 10) / 2 + shift;
  controls::Fill(dc, Rect{left, top, left + 16, top + 10}, controls::kLightColor);
  controls::Frame(dc, Rect{left, top, left + 16, top + 10}, controls::kDarkColor);
  for (int row = 0; row < 2; ++row) {
    for (int k = 0; k < 4; ++k) {
      controls::Fill(dc, Rect{left + 2 + 3 * k, top + 2 + 3 * row, left + 4 + 3 * k, top + 4 + 3 * row},
                     controls::kDarkColor);
    }
  }
  controls::Fill(dc, Rect{left + 4, top + 7, left + 12, top + 8}, controls::kDarkColor);
}

void PaintBar(HWin window, Bar& bar, HDc dc) {
  LayOut(window, bar);
  Rect client;
  GetClientRect(window, &client);
  controls::Fill(dc, client, controls::kFaceColor);
  // The line toward the window: below a command bar, above a shell bar.
  const Rect rule = bar.shell ? Rect{client.left, client.top, client.right, client.top + 1}
                              : Rect{client.left, client.bottom - 1, client.right, client.bottom};
  controls::Fill(dc, rule, controls::kShadowColor);
  for (int i = 0; i < ButtonCount(bar); ++i) {
    const Item& item = *ButtonAt(bar, i);
    if (Hidden(item) || item.rect.Empty()) continue;
    const bool down = (i == bar.pressed && bar.pressedInside) || (item.state & kBarStateChecked) != 0 ||
                      (item.state & kBarStatePressed) != 0;
    const int shift = down ? 1 : 0;
    const ColorRef text = Enabled(item) ? controls::kDarkColor : controls::kGrayTextColor;
    switch (item.kind) {
      case BarButtonKind::Separator: {
        const int x = item.rect.left + item.rect.Width() / 2 - 1;
        controls::Fill(dc, Rect{x, item.rect.top + 1, x + 1, item.rect.bottom - 1}, controls::kShadowColor);
        controls::Fill(dc, Rect{x + 1, item.rect.top + 1, x + 2, item.rect.bottom - 1}, controls::kLightColor);
        continue;
      }
      case BarButtonKind::Menu:
      case BarButtonKind::Text: {
        if (down) controls::Edge(dc, item.rect, true);
        Rect label = item.rect;
        label.left += shift;
        label.top += shift;
        controls::Label(dc, item.label, label, kDtCenter | kDtVCenter, text);
        continue;
      }
      case BarButtonKind::Image:
        if (down) controls::Edge(dc, item.rect, true);
        DrawImage(dc, bar, item.image, item.rect, shift);
        continue;
      case BarButtonKind::Close:
      case BarButtonKind::Help:
      case BarButtonKind::Ok:
      case BarButtonKind::InputPanel: {
        controls::Edge(dc, item.rect, down);
        if (item.kind == BarButtonKind::Close) {
          DrawCross(dc, item.rect, shift);
        } else if (item.kind == BarButtonKind::InputPanel) {
          DrawKeyboard(dc, item.rect, shift);
        } else {
          Rect label = item.rect;
          label.left += shift;
          label.top += shift;
          controls::Label(dc, item.kind == BarButtonKind::Help ? u"?" : u"ok", label, kDtCenter | kDtVCenter, text);
        }
        continue;
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Input

Point Unpack(LParam l) {
  return Point{static_cast<std::int16_t>(l & 0xFFFF), static_cast<std::int16_t>((l >> 16) & 0xFFFF)};
}

bool InputAllowed(const Bar& bar) {
  const HWin top = GetTopLevelWindow(bar.notify);
  return top != nullptr && IsWindowEnabled(top);
}

void DropMenu(HWin window, int button) {
  Bar* bar = BarOf(window);
  Item* item = bar != nullptr ? ButtonAt(*bar, button) : nullptr;
  if (item == nullptr || item->popup == nullptr) return;
  Point at{item->rect.left, bar->shell ? item->rect.top - kButtonInset : item->rect.bottom + kButtonInset};
  ClientToScreen(window, &at);
  const HMenu popup = item->popup;
  const HWin notify = bar->notify;
  const std::uint32_t flags = kTrackLeftAlign | (bar->shell ? kTrackBottomAlign : kTrackTopAlign);
  bar->pressed = button;
  bar->pressedInside = true;
  InvalidateRect(window, nullptr, false);
  UpdateWindow(window);
  TrackPopupMenu(popup, flags, at.x, at.y, notify);
  // The bar may have gone meanwhile.
  if (Bar* again = BarOf(window)) {
    again->pressed = -1;
    again->pressedInside = false;
    InvalidateRect(window, nullptr, false);
  }
}

void Act(HWin window, Bar& bar, int button) {
  Item* item = ButtonAt(bar, button);
  if (item == nullptr || !Enabled(*item)) return;
  const HWin notify = bar.notify;
  switch (item->kind) {
    case BarButtonKind::Image:
    case BarButtonKind::Text:
      if ((item->style & kBarStyleCheck) != 0) item->state ^= kBarStateChecked;
      PostMessage(notify, kMsgCommand, static_cast<WParam>(item->command & 0xFFFF), reinterpret_cast<LParam>(window));
      break;
    case BarButtonKind::Close:
      PostMessage(notify, kMsgClose, 0, 0);
      break;
    case BarButtonKind::Help:
      PostMessage(notify, kMsgHelp, 0, 0);
      break;
    case BarButtonKind::Ok:
      PostMessage(notify, kMsgCommand, static_cast<WParam>(kIdOk), reinterpret_cast<LParam>(window));
      break;
    case BarButtonKind::InputPanel:
      ShowInputPanel(!GetInputPanelState().shown);
      break;
    default:
      break;
  }
}

void OnDown(HWin window, Bar& bar, Point p) {
  HideToolTip(bar);
  bar.hover = -1;
  if (!InputAllowed(bar)) return;
  const int button = HitButton(window, bar, p);
  Item* item = ButtonAt(bar, button);
  if (item == nullptr || !Enabled(*item)) return;
  if (item->kind == BarButtonKind::Menu ||
      (item->kind == BarButtonKind::Text && (item->style & kBarStyleDropDown) != 0 && item->popup != nullptr)) {
    DropMenu(window, button);
    return;
  }
  bar.pressed = button;
  bar.pressedInside = true;
  InvalidateRect(window, nullptr, false);
  ShowToolTip(window, bar, button);
}

void OnMove(HWin window, Bar& bar, Point p) {
  if (bar.pressed >= 0) {
    const Item* item = ButtonAt(bar, bar.pressed);
    const bool inside = item != nullptr && item->rect.Contains(p);
    if (inside != bar.pressedInside) {
      bar.pressedInside = inside;
      InvalidateRect(window, nullptr, false);
      if (inside) {
        ShowToolTip(window, bar, bar.pressed);
      } else {
        HideToolTip(bar);
      }
    }
    return;
  }
  // Hovering: the tooltip of the button under the pointer.
  const int button = HitButton(window, bar, p);
  if (button == bar.hover) return;
  bar.hover = button;
  if (button >= 0) {
    ShowToolTip(window, bar, button);
  } else {
    HideToolTip(bar);
  }
}

void OnUp(HWin window, Bar& bar, Point p) {
  const int button = bar.pressed;
  const bool inside = bar.pressedInside;
  bar.pressed = -1;
  bar.pressedInside = false;
  HideToolTip(bar);
  if (button < 0) return;
  InvalidateRect(window, nullptr, false);
  const Item* item = ButtonAt(bar, button);
  if (inside && item != nullptr && item->rect.Contains(p)) Act(window, bar, button);
}

void Release(Bar* bar) {
  if (bar == nullptr) return;
  if (bar->toolTip != nullptr && IsWindow(bar->toolTip)) DestroyWindow(bar->toolTip);
  if (ShownToolTip() == bar->toolTip) ShownToolTip() = nullptr;
  if (bar->menu != nullptr) DestroyMenu(bar->menu);
  for (const Strip& s : bar->strips) DeleteObject(s.bitmap);
  delete bar;
}

LResult BarProc(HWin window, std::uint32_t message, WParam wParam, LParam lParam) {
  switch (message) {
    case kMsgCreate: {
      const auto* info = reinterpret_cast<const CreateInfo*>(lParam);
      SetWindowUserData(window, reinterpret_cast<LParam>(info->param));
      return 0;
    }
    case kMsgDestroy: {
      Bar* bar = reinterpret_cast<Bar*>(SetWindowUserData(window, 0));
      if (bar != nullptr && bar->shell) SetShellBottomBarHeight(0);
      Release(bar);
      return 0;
    }
    case kMsgEraseBackground:
      return 1;
    case kMsgPaint: {
      PaintInfo paint;
      if (const HDc dc = BeginPaint(window, &paint)) {
        if (Bar* bar = BarOf(window)) PaintBar(window, *bar, dc);
        EndPaint(window, &paint);
      }
      return 0;
    }
    case kMsgActivate:
      // The shell's bar never keeps the activation: give it back.
      if ((wParam & 0xFFFF) != kActivateInactive) {
        if (Bar* bar = BarOf(window)) {
          HWin back = reinterpret_cast<HWin>(lParam);
          if (back == nullptr || !IsWindow(back) || back == window) back = GetTopLevelWindow(bar->notify);
          if (back != nullptr && back != window) SetActiveWindow(back);
        }
      }
      return 0;
    case kMsgLButtonDown:
      if (Bar* bar = BarOf(window)) OnDown(window, *bar, Unpack(lParam));
      return 0;
    case kMsgMouseMove:
      if (Bar* bar = BarOf(window)) OnMove(window, *bar, Unpack(lParam));
      return 0;
    case kMsgLButtonUp:
      if (Bar* bar = BarOf(window)) OnUp(window, *bar, Unpack(lParam));
      return 0;
    case kMsgMenuBarGetSubMenu: {
      Bar* bar = BarOf(window);
      if (bar == nullptr) return 0;
      for (const Item& item : bar->items) {
        if (item.popup != nullptr && item.command == static_cast<int>(lParam)) {
          return reinterpret_cast<LResult>(item.popup);
        }
      }
      return 0;
    }
    case kMsgMenuBarGetMenu: {
      Bar* bar = BarOf(window);
      return bar != nullptr ? reinterpret_cast<LResult>(bar->menu) : 0;
    }
    default:
      return DefaultWindowProc(window, message, wParam, lParam);
  }
}

void Changed(HWin window) { InvalidateRect(window, nullptr, true); }

}  // namespace

// ---------------------------------------------------------------------------

HWin CommandBarCreate(HInstance instance, HWin parent, int barId) {
  if (!IsWindow(parent) || !EnsureWindowClass(kBarClass, BarProc)) return nullptr;
  Rect client;
  GetClientRect(parent, &client);
  auto bar = std::make_unique<Bar>();
  bar->notify = parent;
  const HWin window = CreateWindow(0, kBarClass, u"", kStyleChild | kStyleVisible, 0, 0, client.Width(),
                                   kCommandBarHeight, parent, static_cast<std::uintptr_t>(barId), instance, bar.get());
  if (window != nullptr) bar.release();  // the window owns it now
  return window;
}

int CommandBarHeight(HWin bar) {
  if (BarOf(bar) == nullptr) return 0;
  Rect r;
  GetWindowRect(bar, &r);
  return r.Height();
}

bool CommandBarInsertMenubar(HWin window, HInstance instance, unsigned menuId, int button) {
  Bar* bar = BarOf(window);
  if (bar == nullptr || bar->menu != nullptr) return false;
  const HMenu menu = LoadMenu(instance, menuId);
  if (menu == nullptr) return false;
  std::vector<Item> added;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    Item item;
    const std::uint32_t state = GetMenuState(menu, static_cast<unsigned>(i), kMenuByPosition);
    if ((state & kMenuSeparator) != 0) continue;
    item.label = SplitMenuText(GetMenuItemText(menu, static_cast<unsigned>(i), kMenuByPosition)).label;
    item.popup = GetSubMenu(menu, i);
    if (item.popup != nullptr) {
      item.kind = BarButtonKind::Menu;
    } else {
      item.kind = BarButtonKind::Text;
      item.command = static_cast<int>(GetMenuItemId(menu, i));
    }
    if ((state & (kMenuGrayed | kMenuDisabled)) != 0) item.state = 0;
    added.push_back(std::move(item));
  }
  bar->menu = menu;
  const auto at = static_cast<std::size_t>(std::clamp<int>(button, 0, static_cast<int>(bar->items.size())));
  bar->items.insert(bar->items.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
  Changed(window);
  return true;
}

HMenu CommandBarGetMenu(HWin window, int button) {
  Bar* bar = BarOf(window);
  if (bar == nullptr) return nullptr;
  (void)button;  // every menu button belongs to the one inserted menu
  return bar->menu;
}

int CommandBarAddBitmap(HWin window, HInstance, unsigned bitmapId, int imageCount, int imageWidth, int imageHeight) {
  Bar* bar = BarOf(window);
  if (bar == nullptr || imageCount <= 0 || imageWidth <= 0 || imageHeight <= 0 || imageWidth > kMaxImageSide ||
      imageHeight > kMaxImageSide || imageCount > 4096) {
    return -1;
  }
  const HBitmap bitmap = LoadBitmapResource(bitmapId);
  if (bitmap == nullptr) return -1;
  BitmapInfo info;
  if (!GetBitmapInfo(bitmap, &info) || info.width / imageWidth < imageCount || info.height < imageHeight) {
    DeleteObject(bitmap);
    return -1;
  }
  Strip strip;
  strip.bitmap = bitmap;
  strip.first = bar->imageCount;
  strip.count = imageCount;
  strip.width = imageWidth;
  strip.height = imageHeight;
  bar->strips.push_back(strip);
  bar->imageCount += imageCount;
  Changed(window);
  return strip.first;
}

bool CommandBarAddButtons(HWin window, std::span<const BarButton> buttons) {
  Bar* bar = BarOf(window);
  if (bar == nullptr) return false;
  for (const BarButton& b : buttons) {
    Item item;
    item.kind = (b.style & kBarStyleSeparator) != 0 ? BarButtonKind::Separator : BarButtonKind::Image;
    item.command = b.command;
    item.image = b.image;
    item.state = b.state;
    item.style = b.style;
    bar->items.push_back(std::move(item));
  }
  Changed(window);
  return true;
}

bool CommandBarAddToolTips(HWin window, std::span<const std::u16string_view> tips) {
  Bar* bar = BarOf(window);
  if (bar == nullptr) return false;
  bar->tips.assign(tips.begin(), tips.end());
  return true;
}

bool CommandBarAddAdornments(HWin window, std::uint32_t flags) {
  Bar* bar = BarOf(window);
  if (bar == nullptr || bar->adorned) return false;
  bar->adorned = true;
  // Laid out from the right: close first, then ok, then help.
  Item close;
  close.kind = BarButtonKind::Close;
  bar->extras.insert(bar->extras.begin(), close);
  std::size_t at = 1;
  if ((flags & kBarAdornOk) != 0) {
    Item ok;
    ok.kind = BarButtonKind::Ok;
    bar->extras.insert(bar->extras.begin() + static_cast<std::ptrdiff_t>(at++), ok);
  }
  if ((flags & kBarAdornHelp) != 0) {
    Item help;
    help.kind = BarButtonKind::Help;
    bar->extras.insert(bar->extras.begin() + static_cast<std::ptrdiff_t>(at), help);
  }
  Changed(window);
  return true;
}

bool CommandBarShow(HWin window, bool show) {
  Bar* bar = BarOf(window);
  if (bar == nullptr) return false;
  if (!show) HideToolTip(*bar);
  // The shell's bar is top-level: showing it must not take the activation.
  ShowWindow(window, show ? (bar->shell ? kShowNA : kShow) : kShowHide);
  return true;
}

std::vector<BarButtonInfo> CommandBarButtons(HWin window) {
  std::vector<BarButtonInfo> out;
  Bar* bar = BarOf(window);
  if (bar == nullptr) return out;
  LayOut(window, *bar);
  for (int i = 0; i < ButtonCount(*bar); ++i) {
    const Item& item = *ButtonAt(*bar, i);
    if (Hidden(item)) continue;
    BarButtonInfo info;
    info.kind = item.kind;
    info.command = item.command;
    info.rect = item.rect;
    info.label = item.label;
    info.toolTip = ToolTipOf(*bar, i);
    out.push_back(std::move(info));
  }
  return out;
}

HWin GetShownToolTip() {
  const HWin shown = ShownToolTip();
  return shown != nullptr && IsWindow(shown) && IsWindowVisible(shown) ? shown : nullptr;
}

namespace bar {

HWin CreateShellBarWindow(HWin owner, HMenu menu, std::vector<RecordButton> buttons, bool inputButton) {
  const HWin ownerTop = GetTopLevelWindow(owner);
  if (ownerTop == nullptr || !EnsureWindowClass(kBarClass, BarProc)) {
    if (menu != nullptr) DestroyMenu(menu);
    return nullptr;
  }
  auto record = std::make_unique<Bar>();
  record->shell = true;
  record->notify = owner;
  record->menu = menu;
  for (RecordButton& b : buttons) {
    Item item;
    item.kind = b.image == kBarImageNone ? BarButtonKind::Text : BarButtonKind::Image;
    item.command = b.command;
    item.image = b.image;
    item.state = b.state;
    item.style = b.style;
    item.label = std::move(b.label);
    item.popup = b.popup;
    record->items.push_back(std::move(item));
  }
  if (inputButton) {
    Item input;
    input.kind = BarButtonKind::InputPanel;
    record->extras.push_back(input);
  }
  const int height = kCommandBarHeight;
  Bar* raw = record.get();
  const HWin window = CreateWindow(kExStyleTopmost, kBarClass, u"", kStylePopup, 0, ScreenHeight() - height,
                                   ScreenWidth(), height, ownerTop, 0, nullptr, raw);
  if (window == nullptr) {
    Release(record.release());
    return nullptr;
  }
  record.release();  // the window owns it now
  SetShellBottomBarHeight(height);
  return window;
}

}  // namespace bar
}  // namespace pf
