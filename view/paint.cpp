// Painting the view: the rows that fit, their rules, lead words, pointed text
// and the search highlight.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/app_state.h"
#include "content/article_document.h"
#include "content/book_code.h"
#include "platform/font.h"
#include "view/article_view.h"
#include "view/view_internal.h"

using view_detail::FirstRow;
using view_detail::kSpace;
using view_detail::kUnlimitedWidth;

namespace {

constexpr unsigned kCentredLine = pf::kDtCenter | pf::kDtVCenter | pf::kDtSingleLine | pf::kDtNoPrefix;

// The base a run of a line converts with.
int RunBase(const ArticleLine& line) {
  return (line.flags & kStyleRightToLeft) != 0 ? App.Font.FontAsciiBase : kBase97;
}

bool DrawLineRun(ArticleView* view, const ArticleLine& line, const std::uint8_t* text, int count, int x, int y,
                 int width) {
  SharedConverter.base = RunBase(line);
  const bool drawn = DrawArticleRun(view, text, count, x, y, width, line.height);
  SharedConverter.base = kBase97;
  return drawn;
}

// The lead word of a right-to-left line lies after its text part in the stored
// text, beyond the word the text part ends in and the spaces after it; it runs
// to the end of the paragraph's text.
struct LeadWord {
  std::size_t offset = 0;
  int count = 0;
  int width = 0;
};

LeadWord RightToLeftLeadWord(const ArticleView* view, const ArticleLine& line) {
  LeadWord lead;
  std::size_t at = static_cast<std::size_t>(line.textOffset) + line.textLength;
  at += view_detail::RunLength(view, at, kSpace);
  while (at < view->documentSize && view->document[at] == kSpace) ++at;
  lead.offset = at;
  lead.count = static_cast<int>(view_detail::RunLength(view, at, 0));
  lead.width = line.hangWidth;
  MeasureByWidths(view->widths, view->document + at, &lead.width, &lead.count);
  return lead;
}

// The lead word of a left-to-right line starts the line; the text part
// follows it and its spaces.
struct LeftLead {
  int leadLength = 0;
  std::size_t textStart = 0;
};

LeftLead LeftToRightLeadWord(const ArticleView* view, const ArticleLine& line) {
  LeftLead lead;
  lead.leadLength = static_cast<int>(view_detail::RunLength(view, line.textOffset, kSpace));
  std::size_t at = line.textOffset + static_cast<std::size_t>(lead.leadLength);
  while (at < view->documentSize && view->document[at] == kSpace) ++at;
  lead.textStart = at;
  return lead;
}

bool LeadWordFits(const ArticleView* view, std::size_t start, int count) {
  return start + static_cast<std::size_t>(count) <= view->documentSize;
}

bool PaintTextLine(ArticleView* view, const ArticleLine& line, int y) {
  const std::uint8_t* document = view->document;
  if (line.hangWidth == 0) {
    return DrawLineRun(view, line, document + line.textOffset, line.textLength, line.x, y, line.width);
  }
  if ((line.flags & kStyleRightToLeft) != 0) {
    const LeadWord lead = RightToLeftLeadWord(view, line);
    if (!DrawLineRun(view, line, document + lead.offset, lead.count,
                     line.x + line.width + line.hangWidth - lead.width, y, lead.width)) {
      return false;
    }
    return DrawLineRun(view, line, document + line.textOffset, line.textLength, line.x, y, line.width);
  }
  const LeftLead lead = LeftToRightLeadWord(view, line);
  const std::uint8_t* word = document + line.textOffset;
  if (!view_detail::ReserveSharedUnits(word, lead.leadLength)) return false;
  int count = lead.leadLength;
  int width = line.hangWidth;
  SharedConverter.base = kBase97;
  MeasureRun(view->dc, word, &width, &count);
  DrawRun(view->dc, word, count, line.x - line.hangWidth, y, width, line.height);
  SharedConverter.base = kBase97;
  if (!LeadWordFits(view, lead.textStart, line.textLength)) return true;
  return DrawLineRun(view, line, document + lead.textStart, line.textLength, line.x, y, line.width);
}

bool HighlightLine(ArticleView* view, const ArticleLine& line, int y) {
  const std::uint8_t* document = view->document;
  if (line.hangWidth == 0) {
    return HighlightRun(view, document, line.textOffset, line.textLength, line.x, y, line);
  }
  if ((line.flags & kStyleRightToLeft) != 0) {
    const LeadWord lead = RightToLeftLeadWord(view, line);
    SharedConverter.base = RunBase(line);
    const bool drawn = DrawColouredRun(view->dc, document + lead.offset, lead.count,
                                       line.x + line.width + line.hangWidth - lead.width, y, lead.width,
                                       line.height, kArticleBlue, kArticleYellow);
    SharedConverter.base = kBase97;
    if (!drawn) return false;
    return HighlightRun(view, document, line.textOffset, line.textLength, line.x, y, line);
  }
  const LeftLead lead = LeftToRightLeadWord(view, line);
  if (!HighlightRun(view, document, line.textOffset, lead.leadLength, line.x - line.hangWidth, y, line)) {
    return false;
  }
  if (!LeadWordFits(view, lead.textStart, line.textLength)) return true;
  return HighlightRun(view, document, static_cast<std::uint16_t>(lead.textStart), line.textLength, line.x, y,
                      line);
}

}  // namespace

FirstRow view_detail::FindFirstRow(ArticleView* view) {
  if (view->topLine > view->rowCount) view->topLine = view->maxTopLine;
  const ArticleLine* lines = view->lines;
  std::size_t i = 0;
  int r = 0;
  while (i < view->capacity && lines[i].flags != 0 && r < view->topLine) {
    r += (lines[i].flags & kStyleBlankRow) != 0 ? 2 : 1;
    ++i;
  }
  FirstRow first;
  first.line = i;
  first.y = view->top;
  first.heightLeft = view->height;
  if (r > view->topLine && i > 0) {
    first.y += lines[i - 1].height;
    first.heightLeft -= lines[i - 1].height;
  }
  const std::uint8_t flags = lines[i].flags;
  first.style = (flags == 0 || IsSeparatorStyle(flags)) ? kStylePlain : flags;
  return first;
}

int PaintArticle(ArticleView* view, bool clearFirst) {
  if (view == nullptr || view->document == nullptr || view->lines == nullptr) return kViewMissing;
  view->paintedCount = 0;
  const FirstRow first = view_detail::FindFirstRow(view);
  pf::HDc dc = view->dc;
  const pf::ColorRef oldColour = pf::GetTextColor(dc);
  pf::HFont previous = nullptr;
  if (!view_detail::SelectVariant(view, first.style | kSelectWithColour, &previous)) return kViewOutOfMemory;
  if (clearFirst) FillArea(dc, view->left, view->top, view->width, view->height, pf::StockObject::WhiteBrush);

  // After a failed allocation the view may be gone: only the context, which
  // is not the view's, is put back as it was.
  const auto outOfMemory = [dc, previous, oldColour] {
    pf::SelectObject(dc, previous);
    pf::SetTextColor(dc, oldColour);
    return kViewOutOfMemory;
  };
  std::uint8_t style = first.style;
  int y = first.y;
  int heightLeft = first.heightLeft;
  for (std::size_t i = first.line; i < view->capacity; ++i) {
    const ArticleLine line = view->lines[i];
    if (line.flags == 0 || line.height > heightLeft) break;
    if (IsSeparatorStyle(line.flags)) {
      pf::HObj oldBrush = pf::SelectObject(dc, pf::GetStockObject(pf::StockObject::BlackBrush));
      const int ruleY = y + line.height / 2;
      pf::DrawRectangle(dc, line.x, ruleY, line.x + line.width, ruleY + 1);
      pf::SelectObject(dc, oldBrush);
    } else if (view_detail::LineInDocument(view, line)) {
      if (((line.flags ^ style) & kStyleFontKeyMask) != 0) {
        pf::HFont ignored = nullptr;
        if (!view_detail::SelectVariant(view, line.flags | kSelectWithColour, &ignored)) return outOfMemory();
      }
      style = line.flags;
      if (!PaintTextLine(view, line, y)) return outOfMemory();
    }
    const int rows = (line.flags & kStyleBlankRow) != 0 ? 2 : 1;
    heightLeft -= rows * line.height;
    y += rows * line.height;
    view->paintedCount += rows;
  }
  pf::SelectObject(dc, previous);
  pf::SetTextColor(dc, oldColour);
  if (view->highlightStart != 0 || view->highlightEnd != 0) return PaintHighlight(view);
  return kViewOk;
}

int PaintHighlight(ArticleView* view) {
  if (view == nullptr || view->document == nullptr || view->lines == nullptr) return kViewMissing;
  const FirstRow first = view_detail::FindFirstRow(view);
  pf::HDc dc = view->dc;
  pf::HFont previous = nullptr;
  if (!view_detail::SelectVariant(view, first.style, &previous)) return kViewOutOfMemory;

  int result = kViewOk;
  std::uint8_t style = first.style;
  int y = first.y;
  int heightLeft = first.heightLeft;
  for (std::size_t i = first.line; i < view->capacity; ++i) {
    const ArticleLine line = view->lines[i];
    if (line.flags == 0 || line.height > heightLeft) break;
    const bool meets = line.textOffset <= view->highlightEnd &&
                       line.textOffset + line.textLength >= view->highlightStart;
    if (!IsSeparatorStyle(line.flags) && meets && view_detail::LineInDocument(view, line)) {
      pf::HFont ignored = nullptr;
      // After a failed allocation the view may be gone: stop at once.
      if (((line.flags ^ style) & kStyleFontKeyMask) != 0 &&
          !view_detail::SelectVariant(view, line.flags, &ignored)) {
        result = kViewOutOfMemory;
        break;
      }
      style = line.flags;
      if (!HighlightLine(view, line, y)) {
        result = kViewOutOfMemory;
        break;
      }
    }
    const int rows = (line.flags & kStyleBlankRow) != 0 ? 2 : 1;
    heightLeft -= rows * line.height;
    y += rows * line.height;
  }
  pf::SelectObject(dc, previous);
  return result;
}

bool HighlightRun(ArticleView* view, const std::uint8_t* document, std::uint16_t runOffset, int count, int x,
                  int y, const ArticleLine& line) {
  int start = runOffset;
  int n = count;
  const int o = view->highlightStart - start;
  if (o >= 0) {
    if (o > n) return true;
    int width = kUnlimitedWidth;
    int measured = o;
    MeasureByWidths(view->widths, document + start, &width, &measured);
    x += width;
    start += o;
    n -= o;
  }
  if (start + n > view->highlightEnd) n = view->highlightEnd - start;
  if (n <= 0) return true;
  int w = kUnlimitedWidth;
  int measured = n;
  MeasureByWidths(view->widths, document + start, &w, &measured);

  pf::HDc dc = view->dc;
  pf::HBrush brush = pf::CreateSolidBrush(kArticleYellow);
  if (brush != nullptr) pf::FillRect(dc, pf::Rect{x, y - 1, x + w, y + line.height + 1}, brush);
  const pf::ColorRef oldText = pf::SetTextColor(dc, kArticleBlue);
  const pf::ColorRef oldBack = pf::SetBkColor(dc, kArticleYellow);
  SharedConverter.base = RunBase(line);
  const bool drawn = DrawArticleRun(view, document + start, n, x, y, w, line.height);
  SharedConverter.base = kBase97;
  pf::SetTextColor(dc, oldText);
  pf::SetBkColor(dc, oldBack);
  if (brush != nullptr) pf::DeleteObject(brush);
  return drawn;
}

bool DrawArticleRun(ArticleView* view, const std::uint8_t* text, int count, int x, int y, int width,
                    int height) {
  if (SharedConverter.base == kBase1488 && App.Font.FontAsciiBase == kBase1488) {
    DrawPointedRun(view, text, count, pf::Rect{x, y, x + width, y + height});
    return true;
  }
  if (!view_detail::ReserveSharedUnits(text, count)) return false;
  DrawRun(view->dc, text, count, x, y, width, height);
  return true;
}

void DrawPointedRun(ArticleView* view, const std::uint8_t* text, int count, pf::Rect rect) {
  constexpr char16_t kHolam = 0x05B9;
  pf::HDc dc = view->dc;
  pf::SetBkMode(dc, pf::BkMode::Transparent);
  const auto draw = [dc](char16_t codePoint, const pf::Rect& cell) {
    pf::DrawTextLine(dc, std::u16string_view(&codePoint, 1), cell, kCentredLine);
  };
  int p = 0;
  for (int k = count - 1; k >= 0; --k) {
    const std::uint8_t c = text[k];
    if (c >= kBookFirstPoint && c < kBookLastPoint) {
      rect.right += p;
    } else if (c == kBookLastPoint) {
      p = 3;
      rect.right = rect.left + 3;
    } else {
      p = (c >= 16 && c <= 127 && view->widths != nullptr) ? (*view->widths)[c - 16] : 0;
      rect.left = rect.right - p;
    }
    PairRow row = PairOf(c);
    if (row.second != 0 && row.first == kHolam) std::swap(row.first, row.second);
    draw(row.first, rect);
    if (row.second != 0) {
      const bool holam = row.second == kHolam;
      pf::Rect cell = rect;
      if (holam) {
        cell = pf::Rect{rect.left - 2, rect.top, rect.left + 1, rect.bottom};
        p = 3;
      }
      draw(row.second, cell);
    }
    rect.right = rect.left;
  }
}

bool DrawColouredRun(pf::HDc dc, const std::uint8_t* text, int count, int x, int y, int width, int height,
                     pf::ColorRef textColour, pf::ColorRef backColour) {
  if (!view_detail::ReserveSharedUnits(text, count)) return false;
  const pf::ColorRef oldText = pf::SetTextColor(dc, textColour);
  const pf::ColorRef oldBack = pf::SetBkColor(dc, backColour);
  DrawRun(dc, text, count, x, y, width, height);
  pf::SetTextColor(dc, oldText);
  pf::SetBkColor(dc, oldBack);
  return true;
}

void FillArea(pf::HDc dc, int left, int top, int width, int height, pf::StockObject brush) {
  pf::FillRect(dc, pf::Rect{left, top, left + width, top + height}, pf::GetStockObject(brush));
}
