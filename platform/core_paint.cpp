// The platform's own plain pictures: the frame, caption and scroll bar of a
// window outside its client area (unless the controls' hooks draw them), and
// the task bar.
#include <algorithm>
#include <ctime>
#include <string>

#include "platform/font.h"
#include "platform/gdi.h"
#include "platform/system.h"
#include "platform/utf.h"
#include "platform/window.h"
#include "platform/window_internal.h"

namespace pf::core {
namespace {

void Fill(HDc dc, const Rect& r, ColorRef color) {
  if (r.Empty()) return;
  const HBrush brush = CreateSolidBrush(color);
  FillRect(dc, r, brush);
  DeleteObject(brush);
}

void Outline(HDc dc, const Rect& r, ColorRef color) {
  if (r.Empty()) return;
  Fill(dc, Rect{r.left, r.top, r.right, r.top + 1}, color);
  Fill(dc, Rect{r.left, r.bottom - 1, r.right, r.bottom}, color);
  Fill(dc, Rect{r.left, r.top, r.left + 1, r.bottom}, color);
  Fill(dc, Rect{r.right - 1, r.top, r.right, r.bottom}, color);
}

void Text(HDc dc, std::u16string_view text, const Rect& r, unsigned flags, ColorRef color, bool bold, int height) {
  FontDescription d;
  d.height = height;
  d.weight = bold ? 700 : 400;
  const HFont font = CreateFont(d);
  const HObj oldFont = font != nullptr ? SelectObject(dc, font) : nullptr;
  const ColorRef oldColor = SetTextColor(dc, color);
  const BkMode oldMode = SetBkMode(dc, BkMode::Transparent);
  DrawTextLine(dc, text, r, flags | kDtSingleLine | kDtNoPrefix);
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldColor);
  if (oldFont != nullptr) SelectObject(dc, oldFont);
  if (font != nullptr) DeleteObject(font);
}

int FrameInset(const WindowRecord& w) {
  int inset = 0;
  if ((w.style & kStyleDialogFrame) != 0) {
    inset += GetSystemMetrics(kMetricDialogFrameWidth);
  } else if ((w.style & kStyleBorder) != 0) {
    inset += GetSystemMetrics(kMetricBorderWidth);
  }
  if ((w.exStyle & kExStyleWindowEdge) != 0) inset += GetSystemMetrics(kMetricEdgeWidth);
  return inset;
}

Rect CaptionRect(const WindowRecord& w) {
  if ((w.style & kStyleCaption) != kStyleCaption) return Rect{};
  const int inset = FrameInset(w);
  const int top = inset;
  return Rect{inset, top, w.rect.Width() - inset, top + GetSystemMetrics(kMetricCaptionHeight)};
}

}  // namespace

Rect CaptionOkRect(const WindowRecord& w) {
  if ((w.exStyle & kExStyleCaptionOkButton) == 0) return Rect{};
  const Rect c = CaptionRect(w);
  if (c.Empty()) return Rect{};
  const int size = c.Height() - 4;
  return Rect{c.right - size - 4, c.top + 2, c.right - 4, c.bottom - 2};
}

void PaintDefaultNonClient(HWin h, HDc dc) {
  const WindowRecord* r = FindLocal(h);
  if (r == nullptr) return;
  const int w = r->rect.Width();
  const int ht = r->rect.Height();
  const Rect client = ClientAreaOf(*r);
  const ColorRef frame = Rgb(0xC0, 0xC0, 0xC0);
  Fill(dc, Rect{0, 0, w, client.top}, frame);
  Fill(dc, Rect{0, client.bottom, w, ht}, frame);
  Fill(dc, Rect{0, client.top, client.left, client.bottom}, frame);
  Fill(dc, Rect{client.right, client.top, w, client.bottom}, frame);
  if ((r->style & (kStyleBorder | kStyleDialogFrame)) != 0) Outline(dc, Rect{0, 0, w, ht}, Rgb(0, 0, 0));

  const Rect caption = CaptionRect(*r);
  if (!caption.Empty()) {
    Fill(dc, caption, Rgb(0xFF, 0xFF, 0xFF));
    Fill(dc, Rect{caption.left, caption.bottom - 1, caption.right, caption.bottom}, Rgb(0, 0, 0));
    Rect title = caption;
    title.left += 4;
    const Rect ok = CaptionOkRect(*r);
    if (!ok.Empty()) {
      title.right = ok.left - 2;
      Outline(dc, ok, Rgb(0, 0, 0));
      Text(dc, u"ok", ok, kDtCenter | kDtVCenter, Rgb(0, 0, 0), true, 0);
    }
    Text(dc, r->title, title, kDtLeft | kDtVCenter, Rgb(0, 0, 0x80), true, 0);
  }

  const Rect bar = GetVScrollBarRect(h);
  if (!bar.Empty()) {
    Fill(dc, bar, Rgb(0xE8, 0xE8, 0xE8));
    Fill(dc, Rect{bar.left, bar.top, bar.left + 1, bar.bottom}, Rgb(0x80, 0x80, 0x80));
    const int arrow = std::min(GetSystemMetrics(kMetricVScrollArrowHeight), bar.Height() / 2);
    const Rect up{bar.left, bar.top, bar.right, bar.top + arrow};
    const Rect down{bar.left, bar.bottom - arrow, bar.right, bar.bottom};
    Outline(dc, up, Rgb(0x80, 0x80, 0x80));
    Outline(dc, down, Rgb(0x80, 0x80, 0x80));
    const ScrollInfo& s = r->bars[1];
    const int track = bar.Height() - 2 * arrow;
    const long long range = static_cast<long long>(s.max) - s.min + 1;
    if (track > 4 && s.max > s.min) {
      const long long page = std::max<long long>(1, s.page);
      const int thumb = static_cast<int>(std::clamp<long long>(track * page / range, std::min(13, track), track));
      const long long steps = std::max<long long>(1, range - page);
      const int offset = static_cast<int>((track - thumb) * (static_cast<long long>(s.position) - s.min) / steps);
      const Rect t{bar.left + 1, bar.top + arrow + offset, bar.right, bar.top + arrow + offset + thumb};
      Fill(dc, t, Rgb(0xA0, 0xA0, 0xA0));
    }
  }
}

void PaintTaskBar(HWin bar, HDc dc) {
  Rect r;
  GetClientRect(bar, &r);
  Fill(dc, r, Rgb(0x00, 0x20, 0x80));
  const ShellState shell = GetShellState();
  Rect title = r;
  title.left = 6;
  if (shell.startIconVisible) {
    // The start flag: four coloured squares.
    const int y = (r.Height() - 14) / 2;
    Fill(dc, Rect{6, y, 12, y + 6}, Rgb(0xE0, 0x30, 0x20));
    Fill(dc, Rect{13, y, 19, y + 6}, Rgb(0x30, 0xB0, 0x30));
    Fill(dc, Rect{6, y + 7, 12, y + 13}, Rgb(0x30, 0x60, 0xE0));
    Fill(dc, Rect{13, y + 7, 19, y + 13}, Rgb(0xF0, 0xD0, 0x20));
    title.left = 26;
  }
  // The time, at the right.
  std::time_t now = std::time(nullptr);
  std::tm local{};
  char clock[16] = "";
  if (localtime_r(&now, &local) != nullptr) std::strftime(clock, sizeof clock, "%H:%M", &local);
  const std::u16string time = Utf8ToUtf16(clock);
  const Rect timeRect{r.right - 44, r.top, r.right - 4, r.bottom};
  Text(dc, time, timeRect, kDtRight | kDtVCenter, Rgb(0xFF, 0xFF, 0xFF), false, 0);
  title.right = timeRect.left - 4;
  const HWin active = GetActiveWindow();
  const WindowRecord* a = FindLocal(active);
  if (a != nullptr) Text(dc, a->title, title, kDtLeft | kDtVCenter, Rgb(0xFF, 0xFF, 0xFF), true, 0);
}

}  // namespace pf::core
