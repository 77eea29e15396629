// Message boxes: a modal window with text, an icon and buttons.
#include "platform/msgbox.h"

#include <algorithm>
#include <vector>

#include "platform/constants.h"
#include "platform/font.h"
#include "platform/gdi.h"
#include "platform/message.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/utf.h"
#include "platform/window.h"
#include "platform/window_internal.h"

namespace pf {
namespace {

constexpr std::u16string_view kBoxClass = u"CorvellaMessageBox";
constexpr int kPad = 8;
constexpr int kIconSize = 24;
constexpr int kButtonWidth = 56;
constexpr int kButtonHeight = 22;
constexpr int kButtonGap = 8;

struct Button {
  int id = 0;
  std::u16string_view label;
  Rect rect;  // client coordinates
};

struct Box {
  std::vector<Button> buttons;
  std::vector<std::u16string> lines;
  int lineHeight = 16;
  std::uint32_t icon = 0;
  int focus = 0;
  int pressed = -1;
  int escapeId = 0;  // 0: Escape does nothing
  int result = 0;
  bool done = false;
};

MessageBoxAnswerer& Answerer() {
  static MessageBoxAnswerer answerer;
  return answerer;
}

std::vector<HWin>& OpenBoxes() {
  static std::vector<HWin> boxes;
  return boxes;
}

std::vector<Button> ButtonsFor(std::uint32_t style) {
  switch (style & kBoxButtonMask) {
    case kBoxOkCancel:
      return {{kIdOk, u"OK", {}}, {kIdCancel, u"Cancel", {}}};
    case kBoxAbortRetryIgnore:
      return {{kIdAbort, u"Abort", {}}, {kIdRetry, u"Retry", {}}, {kIdIgnore, u"Ignore", {}}};
    case kBoxYesNoCancel:
      return {{kIdYes, u"Yes", {}}, {kIdNo, u"No", {}}, {kIdCancel, u"Cancel", {}}};
    case kBoxYesNo:
      return {{kIdYes, u"Yes", {}}, {kIdNo, u"No", {}}};
    case kBoxRetryCancel:
      return {{kIdRetry, u"Retry", {}}, {kIdCancel, u"Cancel", {}}};
    default:
      return {{kIdOk, u"OK", {}}};
  }
}

int EscapeIdFor(const std::vector<Button>& buttons) {
  for (const Button& b : buttons) {
    if (b.id == kIdCancel) return kIdCancel;
  }
  for (const Button& b : buttons) {
    if (b.id == kIdNo) return kIdNo;
  }
  if (buttons.size() == 1 && buttons[0].id == kIdOk) return kIdOk;
  return 0;
}

// Breaks the text into lines no wider than `width` in the font selected into
// `dc`: at line breaks, then between words, then inside a word too long.
std::vector<std::u16string> WrapText(HDc dc, std::u16string_view text, int width) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(u'\n', start);
    if (end == std::u16string_view::npos) end = text.size();
    std::u16string_view paragraph = text.substr(start, end - start);
    if (!paragraph.empty() && paragraph.back() == u'\r') paragraph.remove_suffix(1);
    while (true) {
      const TextFit all = MeasureText(dc, paragraph, width);
      if (static_cast<std::size_t>(all.fit) >= paragraph.size()) {
        lines.emplace_back(paragraph);
        break;
      }
      std::size_t cut = static_cast<std::size_t>(std::max(all.fit, 0));
      const std::size_t space = paragraph.substr(0, cut + 1).find_last_of(u' ');
      if (space != std::u16string_view::npos && space > 0) cut = space;
      if (cut == 0) cut = 1;  // always make progress
      lines.emplace_back(paragraph.substr(0, cut));
      paragraph.remove_prefix(cut);
      while (!paragraph.empty() && paragraph.front() == u' ') paragraph.remove_prefix(1);
      if (paragraph.empty()) break;
    }
    start = end + 1;
  }
  return lines;
}

Box* BoxOf(HWin window) { return reinterpret_cast<Box*>(GetWindowUserData(window)); }

void Choose(HWin window, int id) {
  Box* box = BoxOf(window);
  if (box == nullptr || box->done || id == 0) return;
  box->result = id;
  box->done = true;
}

void FillColor(HDc dc, const Rect& r, ColorRef color) {
  const HBrush brush = CreateSolidBrush(color);
  FillRect(dc, r, brush);
  DeleteObject(brush);
}

void FrameColor(HDc dc, const Rect& r, ColorRef color, int thickness) {
  for (int i = 0; i < thickness; ++i) {
    const Rect f{r.left + i, r.top + i, r.right - i, r.bottom - i};
    FillColor(dc, Rect{f.left, f.top, f.right, f.top + 1}, color);
    FillColor(dc, Rect{f.left, f.bottom - 1, f.right, f.bottom}, color);
    FillColor(dc, Rect{f.left, f.top, f.left + 1, f.bottom}, color);
    FillColor(dc, Rect{f.right - 1, f.top, f.right, f.bottom}, color);
  }
}

void PaintBox(HWin window, HDc dc) {
  const Box* box = BoxOf(window);
  if (box == nullptr) return;
  Rect client;
  GetClientRect(window, &client);
  FillColor(dc, client, Rgb(0xFF, 0xFF, 0xFF));
  const HObj oldFont = SelectObject(dc, GetStockObject(StockObject::SystemFont));
  const BkMode oldMode = SetBkMode(dc, BkMode::Transparent);
  const ColorRef oldColor = GetTextColor(dc);
  int textLeft = kPad;
  if (box->icon != 0) {
    const Rect icon{kPad, kPad, kPad + kIconSize, kPad + kIconSize};
    ColorRef color = Rgb(0x20, 0x40, 0xC0);
    std::u16string_view mark = u"i";
    switch (box->icon) {
      case kBoxIconStop:
        color = Rgb(0xC0, 0x20, 0x20);
        mark = u"X";
        break;
      case kBoxIconQuestion:
        mark = u"?";
        break;
      case kBoxIconExclamation:
        color = Rgb(0xD0, 0xA0, 0x00);
        mark = u"!";
        break;
      default:
        break;
    }
    FillColor(dc, icon, color);
    SetTextColor(dc, Rgb(0xFF, 0xFF, 0xFF));
    DrawTextLine(dc, mark, icon, kDtCenter | kDtVCenter | kDtSingleLine | kDtNoPrefix);
    textLeft += kIconSize + kPad;
  }
  SetTextColor(dc, Rgb(0, 0, 0));
  int y = kPad;
  for (const std::u16string& line : box->lines) {
    DrawTextLine(dc, line, Rect{textLeft, y, client.right - kPad, y + box->lineHeight},
                 kDtLeft | kDtSingleLine | kDtNoPrefix);
    y += box->lineHeight;
  }
  for (std::size_t i = 0; i < box->buttons.size(); ++i) {
    const Button& b = box->buttons[i];
    FillColor(dc, b.rect, Rgb(0xE8, 0xE8, 0xE8));
    FrameColor(dc, b.rect, Rgb(0, 0, 0), static_cast<int>(i) == box->focus ? 2 : 1);
    DrawTextLine(dc, b.label, b.rect, kDtCenter | kDtVCenter | kDtSingleLine | kDtNoPrefix);
  }
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
  if (oldFont != nullptr) SelectObject(dc, oldFont);
}

int ButtonAt(const Box& box, LParam lParam) {
  const Point p{static_cast<std::int16_t>(lParam & 0xFFFF), static_cast<std::int16_t>((lParam >> 16) & 0xFFFF)};
  for (std::size_t i = 0; i < box.buttons.size(); ++i) {
    if (box.buttons[i].rect.Contains(p)) return static_cast<int>(i);
  }
  return -1;
}

LResult BoxProc(HWin window, std::uint32_t message, WParam wParam, LParam lParam) {
  switch (message) {
    case kMsgCreate: {
      const auto* info = reinterpret_cast<const CreateInfo*>(lParam);
      SetWindowUserData(window, reinterpret_cast<LParam>(info->param));
      return 0;
    }
    case kMsgPaint: {
      PaintInfo paint;
      if (const HDc dc = BeginPaint(window, &paint)) {
        PaintBox(window, dc);
        EndPaint(window, &paint);
      }
      return 0;
    }
    case kMsgEraseBackground:
      return 1;
    case kMsgKeyDown: {
      Box* box = BoxOf(window);
      if (box == nullptr) return 0;
      const int count = static_cast<int>(box->buttons.size());
      switch (wParam) {
        case kVkReturn:
          Choose(window, box->buttons[static_cast<std::size_t>(box->focus)].id);
          break;
        case kVkEscape:
          Choose(window, box->escapeId);
          break;
        case kVkLeft:
          box->focus = (box->focus + count - 1) % count;
          InvalidateRect(window, nullptr, false);
          break;
        case kVkRight:
        case kVkTab:
          box->focus = (box->focus + 1) % count;
          InvalidateRect(window, nullptr, false);
          break;
        default:
          break;
      }
      return 0;
    }
    case kMsgLButtonDown: {
      Box* box = BoxOf(window);
      if (box != nullptr) box->pressed = ButtonAt(*box, lParam);
      return 0;
    }
    case kMsgLButtonUp: {
      Box* box = BoxOf(window);
      if (box == nullptr) return 0;
      const int at = ButtonAt(*box, lParam);
      if (at >= 0 && at == box->pressed) Choose(window, box->buttons[static_cast<std::size_t>(at)].id);
      box->pressed = -1;
      return 0;
    }
    case kMsgClose: {
      Box* box = BoxOf(window);
      if (box != nullptr) Choose(window, box->escapeId != 0 ? box->escapeId : box->buttons.front().id);
      return 0;
    }
    default:
      return DefaultWindowProc(window, message, wParam, lParam);
  }
}

}  // namespace

void SetMessageBoxAnswerer(MessageBoxAnswerer answerer) { Answerer() = std::move(answerer); }

HWin GetOpenMessageBox() {
  const auto& boxes = OpenBoxes();
  return boxes.empty() ? nullptr : boxes.back();
}

int MessageBox(HWin owner, const char16_t* text, const char16_t* caption, std::uint32_t style) {
  const std::u16string body = text != nullptr ? std::u16string(text, Utf16Length(text, 1u << 16)) : u"";
  const std::u16string title =
      caption != nullptr ? std::u16string(caption, Utf16Length(caption, 1u << 12)) : std::u16string(u"Error");
  if (Answerer()) {
    MessageBoxCall call{owner, body, title, style};
    const MessageBoxAnswerer answerer = Answerer();  // may be replaced by the call
    return answerer(call);
  }
  if (!PlatformRunning() || !EnsureWindowClass(kBoxClass, BoxProc)) return 0;

  Box box;
  box.buttons = ButtonsFor(style);
  box.escapeId = EscapeIdFor(box.buttons);
  box.icon = style & kBoxIconMask;
  if (box.icon > kBoxIconInformation) box.icon = 0;
  const int defaultIndex = static_cast<int>((style & kBoxDefaultMask) >> 8);
  box.focus = std::clamp(defaultIndex, 0, static_cast<int>(box.buttons.size()) - 1);

  // Lay out: fixed width, text wrapped to it, buttons centred below.
  const int screenW = ScreenWidth();
  const int screenH = ScreenHeight();
  const int frame = GetSystemMetrics(kMetricDialogFrameWidth);
  const int captionH = GetSystemMetrics(kMetricCaptionHeight);
  const int width = std::min(screenW - 16, 224);
  const int clientW = width - 2 * frame;
  const int textLeft = kPad + (box.icon != 0 ? kIconSize + kPad : 0);
  {
    const HDc measure = CreateCompatibleDc(nullptr);
    if (measure != nullptr) {
      const HObj old = SelectObject(measure, GetStockObject(StockObject::SystemFont));
      TextMetrics metrics;
      if (GetTextMetrics(measure, &metrics) && metrics.height > 0) box.lineHeight = metrics.height;
      box.lines = WrapText(measure, body, std::max(8, clientW - textLeft - kPad));
      if (old != nullptr) SelectObject(measure, old);
      DeleteDc(measure);
    } else {
      box.lines.push_back(body);
    }
  }
  const int maxLines = std::max(1, (screenH - captionH - 2 * frame - 4 * kPad - kButtonHeight - 40) / box.lineHeight);
  if (static_cast<int>(box.lines.size()) > maxLines) box.lines.resize(static_cast<std::size_t>(maxLines));
  const int textH = static_cast<int>(box.lines.size()) * box.lineHeight;
  const int bodyH = std::max(textH, box.icon != 0 ? kIconSize : 0);
  const int buttonsTop = kPad + bodyH + 12;
  const int clientH = buttonsTop + kButtonHeight + kPad;
  const int count = static_cast<int>(box.buttons.size());
  const int rowW = count * kButtonWidth + (count - 1) * kButtonGap;
  int x = (clientW - rowW) / 2;
  for (Button& b : box.buttons) {
    b.rect = Rect{x, buttonsTop, x + kButtonWidth, buttonsTop + kButtonHeight};
    x += kButtonWidth + kButtonGap;
  }
  const int height = clientH + captionH + 2 * frame;
  const int left = (screenW - width) / 2;
  const int top = std::max(0, (screenH - height) / 2);

  const HWin ownerTop = core::TopLevelOf(owner);
  const bool disableOwner = ownerTop != nullptr && IsWindowEnabled(ownerTop);
  const HWin previousFocus = GetFocus();
  if (disableOwner) EnableWindow(ownerTop, false);

  const HWin window = CreateWindow(0, kBoxClass, title, kStylePopup | kStyleCaption | kStyleVisible, left, top,
                                   width, height, ownerTop, 0, nullptr, &box);
  int result = 0;
  if (window != nullptr) {
    OpenBoxes().push_back(window);
    SetFocus(window);
    const bool ended = RunModalLoop([&box, window] { return box.done || !IsWindow(window); });
    if (box.done) {
      result = box.result;
    } else {
      (void)ended;
      result = box.escapeId != 0 ? box.escapeId : box.buttons.front().id;
    }
    auto& boxes = OpenBoxes();
    boxes.erase(std::remove(boxes.begin(), boxes.end(), window), boxes.end());
  }
  if (disableOwner && IsWindow(ownerTop)) EnableWindow(ownerTop, true);
  if (window != nullptr && IsWindow(window)) {
    SetWindowUserData(window, 0);
    DestroyWindow(window);
  }
  if (previousFocus != nullptr && IsWindow(previousFocus) && IsWindowEnabled(previousFocus)) SetFocus(previousFocus);
  return result;
}

}  // namespace pf
