// The article view record, its line table and its font cache.

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>
#include <string>

#include "app/app_state.h"
#include "content/article_document.h"
#include "content/book_code.h"
#include "platform/font.h"
#include "view/article_view.h"
#include "view/view_internal.h"

namespace {

ArticleLine* NewLineTable(std::uint16_t capacity) {
  const std::size_t count = static_cast<std::size_t>(capacity) + 1;
  void* block = CheckedAlloc(count * sizeof(ArticleLine));
  if (block == nullptr) return nullptr;
  auto* lines = static_cast<ArticleLine*>(block);
  std::uninitialized_value_construct_n(lines, count);
  return lines;
}

FontVariant* FindVariant(ArticleView* view, std::uint8_t key) {
  for (FontVariant* r = view->fonts; r != nullptr; r = r->next) {
    if (r->key == key) return r;
  }
  return nullptr;
}

}  // namespace

pf::ColorRef ArticleTextColour(std::uint8_t key) {
  constexpr std::uint8_t kLargeBold = kStyleLarge | kStyleBold;
  if ((key & kStyleSmall) != 0) return kArticleNavy;
  if ((key & kLargeBold) == kLargeBold) return kArticleBlue;
  return kArticleBlack;
}

ArticleView* CreateArticleView(pf::HDc dc, const pf::Rect* rect, const FontBlock* block,
                               std::uint16_t initialCapacity) {
  if (dc == nullptr) return nullptr;
  void* memory = CheckedAlloc(sizeof(ArticleView));
  if (memory == nullptr) return nullptr;
  auto* view = new (memory) ArticleView{};
  view->dc = dc;
  if (block != nullptr) view->fontBlock = *block;
  if (rect != nullptr) {
    view->left = rect->left;
    view->top = rect->top;
    view->width = rect->right - rect->left;
    view->height = rect->bottom - rect->top;
  }
  if (initialCapacity != 0) {
    view->lines = NewLineTable(initialCapacity);
    if (view->lines == nullptr) {
      // ShutDown has run: the program is closing and the view was never
      // handed out, so nothing may keep it.
      ReleaseBlock(view);
      return nullptr;
    }
    view->capacity = initialCapacity;
  }
  return view;
}

int SetArticleViewSize(ArticleView* view, int width, int height) {
  if (view == nullptr) return kViewMissing;
  if (width <= 0 || height <= 0) return kViewBadSize;
  view->width = width;
  view->height = height;
  return LayoutArticle(view, view->document, view->documentSize, false);
}

int SetArticleFont(ArticleView* view, const FontBlock* block) {
  if (view == nullptr) return kViewMissing;
  if (block != nullptr) view->fontBlock = *block;
  for (FontVariant* r = view->fonts; r != nullptr; r = r->next) {
    if (r->font != nullptr) pf::DeleteObject(r->font);
    r->font = nullptr;
    MakeVariantFont(view, r, r->key);
  }
  if (LayoutArticle(view, view->document, view->documentSize, false) != 0) return 1;
  return PaintArticle(view, true);
}

void ReleaseArticleFonts(ArticleView* view) {
  if (view == nullptr) return;
  for (FontVariant* r = view->fonts; r != nullptr; r = r->next) {
    if (r->font != nullptr) pf::DeleteObject(r->font);
    r->font = nullptr;
  }
}

bool view_detail::SelectVariant(ArticleView* view, unsigned style, pf::HFont* previous) {
  *previous = nullptr;
  const auto key = static_cast<std::uint8_t>(style & kStyleFontKeyMask);
  FontVariant* record = FindVariant(view, key);
  bool isNew = false;
  if (record == nullptr || record->font == nullptr) {
    void* memory = CheckedAlloc(sizeof(FontVariant));
    if (memory == nullptr) return false;  // ShutDown has run; the view may be gone
    record = new (memory) FontVariant{};
    record->key = key;
    record->next = view->fonts;
    view->fonts = record;
    MakeVariantFont(view, record, key);
    isNew = true;
  }
  if ((style & (kSelectWithColour | kSelectWithColourToo)) != 0) {
    pf::SetTextColor(view->dc, ArticleTextColour(key));
  }
  *previous = pf::SelectObject(view->dc, record->font);
  FillWidthTable(view, record->font, isNew);
  return true;
}

pf::HFont SelectArticleFont(ArticleView* view, unsigned style) {
  if (view == nullptr) return nullptr;
  pf::HFont previous = nullptr;
  if (!view_detail::SelectVariant(view, style, &previous)) return nullptr;
  return previous;
}

pf::HFont MakeVariantFont(ArticleView* view, FontVariant* record, std::uint8_t key) {
  if (view == nullptr || record == nullptr) return nullptr;
  pf::FontDescription description;
  const char16_t* name = view->fontBlock.FontName;
  const std::size_t nameLength =
      static_cast<std::size_t>(std::find(name, name + std::size(view->fontBlock.FontName), u'\0') - name);
  description.faceName.assign(name, nameLength);
  const int size = view->fontBlock.FontSize;
  int height = size;
  if ((key & kStyleLarge) != 0) {
    height = size == 0 ? 20 : size * 5 / 4;
  } else if ((key & kStyleSmall) != 0) {
    height = size == 0 ? 14 : size * 6 / 8;
  }
  description.height = height;
  description.weight = (key & kStyleBold) != 0 ? 700 : 400;
  record->font = pf::CreateFont(description);
  record->widths[0] = kWidthMarkerFirst;
  record->widths[1] = kWidthMarkerSecond;
  return record->font;
}

void FillWidthTable(ArticleView* view, pf::HFont font, bool newRecord) {
  if (view == nullptr || font == nullptr) return;
  FontVariant* record = view->fonts;
  while (record != nullptr && record->font != font) record = record->next;
  if (record == nullptr) return;
  view->widths = &record->widths;
  const bool marked = record->widths[0] == kWidthMarkerFirst || record->widths[1] == kWidthMarkerSecond;
  if (!newRecord && !marked) return;
  pf::HDc dc = view->dc;
  FillWidthTable(record->widths, App.Font.FontAsciiBase,
                 [dc](char16_t codePoint) { return static_cast<std::uint16_t>(pf::GetCharAdvance(dc, codePoint)); });
}

int GrowArticleLines(ArticleView* view, std::uint16_t position) {
  if (view == nullptr) return kViewMissing;
  // End the table at the new line's place now: once an allocation has failed
  // nothing of the view may be touched any more.
  if (view->lines != nullptr && position <= view->capacity) view->lines[position] = ArticleLine{};
  const int grown = std::min<int>(view->capacity + kArticleLineGrowth, 0xFFFF);
  if (grown <= view->capacity) return kViewOutOfMemory;
  const auto newCapacity = static_cast<std::uint16_t>(grown);
  ArticleLine* lines = NewLineTable(newCapacity);
  if (lines == nullptr) return kViewOutOfMemory;
  if (view->lines != nullptr) std::copy_n(view->lines, view->capacity, lines);
  ReleaseBlock(view->lines);
  view->lines = lines;
  view->capacity = newCapacity;
  return kViewOk;
}

void DestroyArticleView(ArticleView* view) {
  if (view == nullptr) return;
  ReleaseBlock(view->document);
  ReleaseBlock(view->lines);
  FontVariant* record = view->fonts;
  while (record != nullptr) {
    FontVariant* next = record->next;
    if (record->font != nullptr) pf::DeleteObject(record->font);
    ReleaseBlock(record);
    record = next;
  }
  ReleaseBlock(view);
}

std::uint16_t ArticleViewTopLine(const ArticleView* view) { return view != nullptr ? view->topLine : 0; }

bool view_detail::ReserveSharedUnits(const std::uint8_t* text, int count) {
  if (count < 0) count = 0;
  if (SharedConverter.units != nullptr && count <= SharedConverter.capacity) return true;
  return ConvertBookText(text, count, &SharedConverter, nullptr) != nullptr;
}

std::size_t view_detail::RunLength(const ArticleView* view, std::size_t from, std::uint8_t stop) {
  const std::size_t end = std::min<std::size_t>(view->documentSize, 0x10000);
  std::size_t i = from;
  while (i < end && view->document[i] != 0 && (stop == 0 || view->document[i] != stop)) ++i;
  return i - from;
}
