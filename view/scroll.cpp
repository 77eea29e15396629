// Scrolling the view by rows and to a document offset.

#include <cstddef>
#include <cstdint>

#include "content/article_document.h"
#include "view/article_view.h"

int ScrollArticle(ArticleView* view, int delta, int paint, int limit) {
  if (view == nullptr) return kViewMissing;
  const int old = view->topLine;
  long long wanted = static_cast<long long>(old) + delta;
  if (wanted < 0) {
    wanted = 0;
  } else if (limit != 0 || wanted > view->rowCount) {
    if (wanted >= old && old >= view->maxTopLine) return kScrollNothing;
    if (wanted > view->rowCount) wanted = view->maxTopLine;
  }
  const int moved = static_cast<int>(wanted);
  if (paint == 1 && moved == old) return kScrollNothing;
  if (moved != old) view->topLine = static_cast<std::uint16_t>(moved);
  if (paint != 0) return PaintArticle(view, true);
  return moved != old ? kScrollMovedUnpainted : kScrollNothing;
}

int ScrollToOffset(ArticleView* view, int offset) {
  if (view == nullptr || view->lines == nullptr) return 0;
  int row = 0;
  for (std::size_t i = 0; i <= view->capacity; ++i) {
    const ArticleLine& line = view->lines[i];
    if (line.flags == 0) return 0;
    if (line.textOffset <= offset && offset <= line.textOffset + line.textLength) {
      view->topLine = static_cast<std::uint16_t>(row <= view->maxTopLine ? row : view->maxTopLine);
      return 1;
    }
    row += (line.flags & kStyleBlankRow) != 0 ? 2 : 1;
  }
  return 0;
}
