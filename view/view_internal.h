#pragma once
// Helpers shared by the view's layout, painting and scrolling. Internal to the
// view library.

#include <cstddef>
#include <cstdint>

#include "view/article_view.h"

namespace view_detail {

constexpr std::uint8_t kSpace = 0x20;
constexpr std::uint8_t kHyphen = 0x2D;
constexpr int kUnlimitedWidth = 32767;

// SelectArticleFont with the out-of-memory case told apart from a null
// previous font: false when memory ran out (the view may be gone).
bool SelectVariant(ArticleView* view, unsigned style, pf::HFont* previous);

// Makes sure a conversion of `count` bytes of `text` through the
// SharedConverter needs no allocation, so that MeasureRun and DrawRun cannot
// run out of memory unseen. False when memory ran out (stop).
bool ReserveSharedUnits(const std::uint8_t* text, int count);

// The row at the top of the view, found from topLine (which is first pulled
// back to maxTopLine when it lies beyond rowCount).
struct FirstRow {
  std::size_t line = 0;    // index of the first line drawn
  int y = 0;               // its top
  int heightLeft = 0;      // height from y to the view's bottom
  std::uint8_t style = 1;  // the style whose font is selected first
};
FirstRow FindFirstRow(ArticleView* view);

// True when the line's run lies inside the view's document.
inline bool LineInDocument(const ArticleView* view, const ArticleLine& line) {
  return static_cast<std::size_t>(line.textOffset) + line.textLength < view->documentSize;
}

// Length of the text at document offset `from` up to the first byte in
// {0, stop} (stop 0: up to the 0 byte), never beyond the document.
std::size_t RunLength(const ArticleView* view, std::size_t from, std::uint8_t stop);

}  // namespace view_detail
