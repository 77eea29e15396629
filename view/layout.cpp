// Line layout: an ArticleDocument cut into the view's ArticleLine table.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "app/app_state.h"
#include "content/article_document.h"
#include "content/book_code.h"
#include "platform/font.h"
#include "view/article_view.h"
#include "view/view_internal.h"

using view_detail::kHyphen;
using view_detail::kSpace;

namespace {

// Offsets are 16 bits wide: no record is read at or beyond 65536.
constexpr std::size_t kMaxDocumentSpan = 0x10000;

// The layout of one document into one view. Everything the out-of-memory path
// needs is held here, outside the view: after a failed allocation ShutDown has
// run and may have destroyed the view, so the layout then releases only what
// it owns itself and puts the previous font back into the context.
class Layout {
 public:
  Layout(ArticleView* view, std::uint8_t* document, std::size_t size)
      : view_(view), dc_(view->dc), document_(document), span_(document, std::min(size, kMaxDocumentSpan)),
        ownsDocument_(document != view->document) {}

  int Run();

 private:
  int OutOfMemory();
  // Keeps the table ended at line i and lineCount honest before anything that
  // may allocate, so that a view left behind by a failed allocation is sound.
  void EndTableHere();
  bool MakeRoom();
  bool SelectStyle(std::uint8_t style);
  void Separator(const ParagraphRecord& record);
  bool TextParagraph(const ParagraphRecord& record, int level);
  int Measure(const std::uint8_t* text, int maxWidth, int* count) const;

  ArticleView* view_;
  pf::HDc dc_;
  std::uint8_t* document_;
  std::span<const std::uint8_t> span_;
  bool ownsDocument_;        // the document is not the view's own yet
  std::uint8_t* copy_ = nullptr;  // reversed text of the current paragraph
  pf::HFont previousFont_ = nullptr;
  bool fontSelected_ = false;
  std::uint8_t style_ = 1;   // current style: its font is selected
  int rowHeight_ = 0;        // cell height of the selected font
  int indent_ = 0;           // the running indent R
  std::uint8_t previousParam_ = 0;
  std::uint16_t i_ = 0;      // next line
  int blankRows_ = 0;        // lines with 0x80 made so far
  bool rightToLeft_ = false;
};

int Layout::OutOfMemory() {
  ReleaseBlock(copy_);
  if (ownsDocument_) ReleaseBlock(document_);
  if (fontSelected_) pf::SelectObject(dc_, previousFont_);
  return kLayoutOutOfMemory;
}

void Layout::EndTableHere() {
  view_->lines[i_] = ArticleLine{};
  view_->lineCount = i_;
}

bool Layout::MakeRoom() {
  if (i_ < view_->capacity) return true;
  view_->lineCount = i_;
  return GrowArticleLines(view_, i_) == kViewOk;
}

bool Layout::SelectStyle(std::uint8_t style) {
  EndTableHere();
  pf::HFont previous = nullptr;
  if (!view_detail::SelectVariant(view_, style, &previous)) return false;
  pf::TextMetrics metrics;
  pf::GetTextMetrics(dc_, &metrics);
  rowHeight_ = metrics.height;
  return true;
}

int Layout::Measure(const std::uint8_t* text, int maxWidth, int* count) const {
  int width = std::max(maxWidth, 0);
  if (rightToLeft_) {
    MeasureByWidths(view_->widths, text, &width, count);
  } else {
    SharedConverter.base = kBase97;
    MeasureRun(dc_, text, &width, count);
    SharedConverter.base = kBase97;
  }
  return width;
}

void Layout::Separator(const ParagraphRecord& record) {
  const int width = view_->width;
  int rule = record.param <= 160 ? record.param : 2 * (record.param - 160) * width / 100;
  if (rule > width) rule = width;
  if (rule < 0) rule = 0;
  int x = view_->left;
  switch (record.style & kStyleAlignMask) {
    case kStyleAlignRight: x = view_->left + width - rule; break;
    case kStyleAlignCentre: x = view_->left + (width - rule) / 2; break;
    default: break;
  }
  ArticleLine& line = view_->lines[i_];
  line.textOffset = static_cast<std::uint16_t>(record.textOffset);
  line.textLength = 0;
  line.x = static_cast<std::uint16_t>(x);
  line.hangWidth = 0;
  line.width = static_cast<std::uint16_t>(rule);
  line.height = static_cast<std::uint16_t>(rowHeight_);
  line.flags = record.style;
  ++i_;
  if ((record.style & kStyleBlankRow) != 0) ++blankRows_;
}

bool Layout::TextParagraph(const ParagraphRecord& record, int level) {
  if (((record.style ^ style_) & kStyleFontKeyMask) != 0) {
    if (!SelectStyle(record.style)) return false;
  }
  style_ = record.style;
  const int n = static_cast<int>(record.textLength);
  const std::uint8_t* stored = document_ + record.textOffset;
  int hang = 0;
  if (level != 0) {
    indent_ &= kParamIndentMask;
    pf::TextMetrics metrics;
    pf::GetTextMetrics(dc_, &metrics);
    hang = (level + 1) * metrics.maxCharWidth / 2;
  }
  rightToLeft_ = (record.style & kStyleRightToLeft) != 0;
  const std::uint8_t* text = stored;
  if (rightToLeft_) {
    EndTableHere();
    copy_ = static_cast<std::uint8_t*>(CheckedAlloc(static_cast<std::size_t>(n) + 1));
    if (copy_ == nullptr) return false;
    std::reverse_copy(stored, stored + n, copy_);
    copy_[n] = 0;
    text = copy_;
  } else {
    EndTableHere();
    if (!view_detail::ReserveSharedUnits(stored, n)) return false;
  }
  const int width = view_->width;
  if (indent_ >= width) indent_ = 0;
  if (indent_ < 0) indent_ = 0;

  int c = 0;
  while (text[c] != 0) {
    while (text[c] == kSpace) ++c;
    if (text[c] == 0) break;
    const int m = n - c;
    if (!MakeRoom()) return false;

    int k = m;
    int available = width - indent_;
    int t = c;
    int lead = 0;
    if (hang != 0) {
      int e = c;
      while (text[e] != 0 && text[e] != kSpace) ++e;
      while (text[e] == kSpace) ++e;
      lead = e - c;
      t = e;
      k -= lead;
      available -= hang;
    }
    int w = Measure(text + t, available, &k);

    // Break rule: a line that would end inside a word ends after the last
    // hyphen or before the last space within it; a word without either is cut.
    if (text[t + k] != 0 && text[t + k] != kSpace) {
      for (int j = k - 1; j >= 1; --j) {
        if (text[t + j] == kHyphen || text[t + j] == kSpace) {
          k = text[t + j] == kHyphen ? j + 1 : j;
          w = Measure(text + t, w, &k);
          break;
        }
      }
    }
    int advance = k + lead;
    if (advance == 0) {
      // Not even one character fits: take one, with the points that follow
      // it, so that layout moves on.
      k = 1;
      while (k < m && IsBookPoint(text[t + k])) ++k;
      w = Measure(text + t, view_detail::kUnlimitedWidth, &k);
      advance = k;
    }

    ArticleLine& line = view_->lines[i_];
    line.textOffset = static_cast<std::uint16_t>(rightToLeft_ ? record.textOffset + n - t - k
                                                              : record.textOffset + c);
    line.textLength = static_cast<std::uint16_t>(k);
    line.hangWidth = static_cast<std::uint16_t>(hang);
    line.width = static_cast<std::uint16_t>(w);
    line.height = static_cast<std::uint16_t>(rowHeight_);
    const int s = indent_ + hang;
    int x = view_->left + s;
    switch (record.style & kStyleAlignMask) {
      case kStyleAlignRight: x = view_->left + width - s - w; break;
      case kStyleAlignCentre: x = view_->left + indent_ + (width - s - w) / 2; break;
      default: break;
    }
    line.x = static_cast<std::uint16_t>(x);
    // The paragraph's last line: nothing but spaces follows it.
    int rest = c + advance;
    while (text[rest] == kSpace) ++rest;
    if (text[rest] == 0) {
      line.flags = record.style;
      if ((record.style & kStyleBlankRow) != 0) ++blankRows_;
    } else {
      line.flags = static_cast<std::uint8_t>(record.style & ~kStyleBlankRow);
    }
    indent_ = s;
    hang = 0;
    c += advance;
    ++i_;
  }
  ReleaseBlock(copy_);
  copy_ = nullptr;
  return true;
}

int Layout::Run() {
  ArticleView* view = view_;
  // A new document replaces the view's; the old one goes now, so that the
  // view never holds lines of one document with another.
  if (ownsDocument_ && view->document != nullptr) {
    ReleaseBlock(view->document);
    view->document = nullptr;
    view->documentSize = 0;
  }
  if (view->lines == nullptr || view->capacity == 0) {
    ReleaseBlock(view->lines);
    view->lines = nullptr;
    view->capacity = 0;
    view->lines = static_cast<ArticleLine*>(CheckedAlloc((kArticleLineGrowth + 1u) * sizeof(ArticleLine)));
    if (view->lines == nullptr) return OutOfMemory();
    view->capacity = kArticleLineGrowth;
  }
  view->lines[0] = ArticleLine{};
  view->lineCount = 0;

  if (!view_detail::SelectVariant(view, kStylePlain, &previousFont_)) return OutOfMemory();
  fontSelected_ = true;
  pf::TextMetrics metrics;
  pf::GetTextMetrics(dc_, &metrics);
  rowHeight_ = metrics.height;
  style_ = kStylePlain;
  indent_ = 0;

  ParagraphRecord record;
  std::size_t offset = 0;
  while (ReadParagraph(span_, offset, &record)) {
    int level = HangingLevel(record.param);
    const bool startsWithSpace = record.textLength > 0 && document_[record.textOffset] == kSpace;
    if (level != 0 && startsWithSpace && i_ > 0) {
      indent_ += (record.param & kParamIndentMask) - (previousParam_ & kParamIndentMask);
      level = 0;
    } else {
      indent_ = record.param;
    }
    previousParam_ = record.param;

    if (IsSeparatorStyle(record.style)) {
      if (record.param == 0) {
        offset = record.offset + 3;
        continue;
      }
      if (!MakeRoom()) return OutOfMemory();
      Separator(record);
    } else if (!TextParagraph(record, level)) {
      return OutOfMemory();
    }
    offset = record.next;
  }

  view->lines[i_] = ArticleLine{};
  view->lineCount = i_;
  int rows = blankRows_ + i_;
  if (i_ > 0 && (view->lines[i_ - 1].flags & kStyleBlankRow) != 0) {
    view->lines[i_ - 1].flags = static_cast<std::uint8_t>(view->lines[i_ - 1].flags & ~kStyleBlankRow);
    --rows;
  }
  view->rowCount = static_cast<std::uint16_t>(std::min(rows, 0xFFFF));
  view->document = document_;
  view->documentSize = span_.size();
  ComputeArticleMaxTopLine(view);
  pf::SelectObject(dc_, previousFont_);
  return kViewOk;
}

// Refused: no first record, or a first text paragraph without text.
bool Refused(std::span<const std::uint8_t> document) {
  if (document.size() < 3 || document[0] == 0) return true;
  ParagraphRecord first;
  if (!ReadParagraph(document, 0, &first)) return true;
  return first.textLength == 0 && !IsSeparatorStyle(first.style);
}

}  // namespace

int LayoutArticle(ArticleView* view, std::uint8_t* document, std::size_t documentSize, bool releaseOld) {
  if (view == nullptr) return kViewMissing;
  view->highlightStart = 0;
  view->highlightEnd = 0;
  view->rowCount = 0;
  view->maxTopLine = 0;
  if (document == nullptr) {
    if (releaseOld) {
      ReleaseBlock(view->document);
      view->document = nullptr;
      view->documentSize = 0;
    }
    return kLayoutNoDocument;
  }
  if (Refused(std::span<const std::uint8_t>(document, std::min(documentSize, kMaxDocumentSpan)))) {
    return kLayoutRefused;
  }
  Layout layout(view, document, documentSize);
  return layout.Run();
}

int ComputeArticleMaxTopLine(ArticleView* view) {
  if (view == nullptr || view->lines == nullptr || view->rowCount == 0 || view->lineCount == 0) return -1;
  int free = static_cast<std::int16_t>(static_cast<std::uint16_t>(view->height));
  int fit = 0;
  for (int i = view->lineCount - 1; i >= 0; --i) {
    const ArticleLine& line = view->lines[i];
    if (free < line.height) break;
    free -= line.height;
    if ((line.flags & kStyleBlankRow) != 0) {
      free -= line.height;
      ++fit;
    }
    ++fit;
  }
  if (free < 0 && fit > 0) --fit;
  view->maxTopLine = static_cast<std::uint16_t>(view->rowCount - fit);
  return view->maxTopLine;
}
