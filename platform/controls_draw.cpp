#include "platform/controls_draw.h"

#include <algorithm>

#include "platform/font.h"

namespace pf::controls {

void Fill(HDc dc, const Rect& r, ColorRef color) {
  if (r.Empty()) return;
  const HBrush brush = CreateSolidBrush(color);
  if (brush == nullptr) return;
  FillRect(dc, r, brush);
  DeleteObject(brush);
}

void Frame(HDc dc, const Rect& r, ColorRef color) {
  if (r.Empty()) return;
  Fill(dc, Rect{r.left, r.top, r.right, r.top + 1}, color);
  Fill(dc, Rect{r.left, r.bottom - 1, r.right, r.bottom}, color);
  Fill(dc, Rect{r.left, r.top, r.left + 1, r.bottom}, color);
  Fill(dc, Rect{r.right - 1, r.top, r.right, r.bottom}, color);
}

void Edge(HDc dc, const Rect& r, bool sunken) {
  if (r.Empty()) return;
  const ColorRef topLeft = sunken ? kShadowColor : kLightColor;
  const ColorRef bottomRight = sunken ? kLightColor : kShadowColor;
  Fill(dc, Rect{r.left, r.top, r.right, r.top + 1}, topLeft);
  Fill(dc, Rect{r.left, r.top, r.left + 1, r.bottom}, topLeft);
  Fill(dc, Rect{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  Fill(dc, Rect{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

void Arrow(HDc dc, const Rect& r, ArrowDirection direction, int size, ColorRef color) {
  size = std::clamp(size, 1, 64);
  if (direction == ArrowDirection::Right) {
    // Columns of shrinking height, the widest at the left.
    const int left = r.left + (r.Width() - size) / 2;
    const int middle = r.top + r.Height() / 2;
    for (int i = 0; i < size; ++i) {
      const int half = size - 1 - i;
      Fill(dc, Rect{left + i, middle - half, left + i + 1, middle + half + 1}, color);
    }
    return;
  }
  const int top = r.top + (r.Height() - size) / 2;
  const int middle = r.left + r.Width() / 2;
  for (int i = 0; i < size; ++i) {
    const int half = direction == ArrowDirection::Up ? i : size - 1 - i;
    Fill(dc, Rect{middle - half, top + i, middle + half + 1, top + i + 1}, color);
  }
}

void CheckMark(HDc dc, const Rect& r, ColorRef color) {
  // A tick 7 wide and 5 high, two pixels thick.
  const int left = r.left + (r.Width() - 7) / 2;
  const int top = r.top + (r.Height() - 6) / 2;
  static constexpr int kRise[7] = {2, 3, 4, 3, 2, 1, 0};
  for (int i = 0; i < 7; ++i) {
    Fill(dc, Rect{left + i, top + kRise[i], left + i + 1, top + kRise[i] + 2}, color);
  }
}

namespace {

struct SystemFontScope {
  explicit SystemFontScope(HDc dc) : dc_(dc), old_(SelectObject(dc, GetStockObject(StockObject::SystemFont))) {}
  ~SystemFontScope() {
    if (old_ != nullptr) SelectObject(dc_, old_);
  }
  SystemFontScope(const SystemFontScope&) = delete;
  SystemFontScope& operator=(const SystemFontScope&) = delete;

 private:
  HDc dc_;
  HObj old_;
};

}  // namespace

void Label(HDc dc, std::u16string_view text, const Rect& r, unsigned flags, ColorRef color, int mnemonic) {
  if (r.Empty()) return;
  SystemFontScope font(dc);
  const ColorRef oldColor = SetTextColor(dc, color);
  const BkMode oldMode = SetBkMode(dc, BkMode::Transparent);
  TextMetrics metrics;
  GetTextMetrics(dc, &metrics);
  const TextFit fit = MeasureText(dc, text);
  long long x = r.left;
  if ((flags & kDtCenter) != 0) {
    x = r.left + (static_cast<long long>(r.Width()) - fit.extent) / 2;
  } else if ((flags & kDtRight) != 0) {
    x = static_cast<long long>(r.right) - fit.extent;
  }
  long long y = r.top;
  if ((flags & kDtVCenter) != 0) y = r.top + (static_cast<long long>(r.Height()) - metrics.height) / 2;
  const int ix = static_cast<int>(std::clamp<long long>(x, -1000000, 1000000));
  const int iy = static_cast<int>(std::clamp<long long>(y, -1000000, 1000000));
  // Placed by hand so that the underline can find its character; clipped to r.
  DrawTextLine(dc, text, Rect{ix, iy, std::max(ix, r.right), std::max(iy, r.bottom)},
               kDtLeft | kDtSingleLine | kDtNoPrefix);
  if (mnemonic >= 0 && static_cast<std::size_t>(mnemonic) < text.size()) {
    const int before = MeasureText(dc, text.substr(0, static_cast<std::size_t>(mnemonic))).extent;
    const int advance = GetCharAdvance(dc, text[static_cast<std::size_t>(mnemonic)]);
    const int lineY = iy + metrics.ascent + 1;
    Rect line{ix + before, lineY, ix + before + advance, lineY + 1};
    line.left = std::max(line.left, r.left);
    line.right = std::min(line.right, r.right);
    if (lineY >= r.top && lineY < r.bottom) Fill(dc, line, color);
  }
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldColor);
}

Size LabelExtent(std::u16string_view text) {
  Size size;
  const HDc dc = CreateCompatibleDc(nullptr);
  if (dc == nullptr) return size;
  {
    SystemFontScope font(dc);
    const TextFit fit = MeasureText(dc, text);
    size.cx = fit.extent;
    size.cy = fit.height;
  }
  DeleteDc(dc);
  return size;
}

}  // namespace pf::controls
