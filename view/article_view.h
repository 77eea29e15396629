#pragma once
// The article view: the reading area of the main window. It holds the lesson
// being read (an ArticleDocument), its layout as a table of ArticleLine
// records, the scroll position, the search highlight and a cache of fonts, one
// FontVariant per font key (StyleByte & 0x1F) with the font's WidthTable.
//
// Rows and lines: a display row is one line of the table or one blank row
// after a line whose flags have 0x80. topLine, rowCount, maxTopLine and
// paintedCount count rows; lineCount and capacity count lines. Offsets are
// byte offsets into the document, 16 bits wide.
//
// Ownership: the view owns its document (from the first successful layout on),
// its line table and its FontVariant records with their fonts, all released by
// DestroyArticleView. The drawing context is the main window's, not owned.
// Every buffer comes from CheckedAlloc. When CheckedAlloc fails it has already
// told the user and run ShutDown, which may have destroyed the view: every
// operation here then returns at once without touching the view again.
//
// GUI thread only. Every operation that selects a font or a colour into the
// view's context puts the previous one back before it returns.

#include <cstddef>
#include <cstdint>

#include "app/app_state.h"
#include "content/book_code.h"
#include "platform/gdi.h"
#include "platform/handles.h"

// ---------------------------------------------------------------------------
// Records

// One laid-out line. The table holds lineCount lines, then a terminator line
// whose fields are all 0; every walk ends at the first line whose flags is 0.
struct ArticleLine {
  std::uint16_t textOffset;  // first text byte shown; a separator: its text's offset
  std::uint16_t textLength;  // bytes on the line, a lead word not counted; 0 for a separator
  std::uint16_t x;           // left edge of the text or rule, client coordinates
  std::uint16_t hangWidth;   // first line of a paragraph with a lead word: its hanging area
  std::uint16_t width;       // pixels of text on the line, or the rule's length
  std::uint16_t height;      // row height: the cell height of the line's font
  std::uint8_t flags;        // the paragraph's StyleByte; 0x80 only on its last line
};

// One record of the font cache. The first two entries of `widths` hold the
// marker 0xFFFF, 0xBAAD while the table has not been measured for `font`.
struct FontVariant {
  FontVariant* next;  // the next record of the cache
  pf::HFont font;     // owned; null after ReleaseArticleFonts
  std::uint8_t key;   // StyleByte & 0x1F
  WidthTable widths;  // widths of codes 16-127 in `font`
};

struct ArticleView {
  ArticleLine* lines;          // owned; room for capacity + 1 lines, or null
  pf::HDc dc;                  // the main window's drawing context, not owned
  std::uint8_t* document;      // owned, or null
  std::int32_t paintedCount;   // rows drawn by the last paint: the page size
  FontBlock fontBlock;         // face name and size used for the fonts
  FontVariant* fonts;          // owned list, newest first
  const WidthTable* widths;    // table of the variant selected last, not owned
  std::int32_t left;
  std::int32_t top;
  std::int32_t width;
  std::int32_t height;
  std::uint16_t topLine;       // row shown at the top ("LastPosition")
  std::uint16_t rowCount;      // lines plus blank rows
  std::uint16_t lineCount;     // lines in the table
  std::uint16_t capacity;      // lines the table holds before it must grow
  std::uint16_t maxTopLine;    // highest topLine at which the last line still fits
  std::uint16_t highlightStart;  // document offset of the first highlighted byte
  std::uint16_t highlightEnd;    // one past the last; both 0: no highlight
  // Bytes of `document` that may be read (its data and the 0 bytes after it,
  // as the loader hands it over); every walk over the document stays inside.
  std::size_t documentSize;
};

// ---------------------------------------------------------------------------
// Results and constants

constexpr int kViewOk = 0;
constexpr int kViewMissing = -1;      // no view (or no document or table to paint)
constexpr int kViewOutOfMemory = -2;  // 65534 as a 16-bit result
constexpr int kViewBadSize = -5;

constexpr int kLayoutNoDocument = 2;
constexpr int kLayoutRefused = 65532;
constexpr int kLayoutOutOfMemory = 65534;

constexpr int kScrollNothing = 1;   // nothing painted, topLine unchanged
constexpr int kScrollMovedUnpainted = 3;

// Colour requests of SelectArticleFont, above the StyleByte.
constexpr unsigned kSelectWithColour = 0x100;
constexpr unsigned kSelectWithColourToo = 0x200;

constexpr std::uint16_t kArticleLineGrowth = 128;
constexpr std::uint16_t kWidthMarkerFirst = 0xFFFF;
constexpr std::uint16_t kWidthMarkerSecond = 0xBAAD;

constexpr pf::ColorRef kArticleNavy = pf::Rgb(0, 0, 128);
constexpr pf::ColorRef kArticleBlue = pf::Rgb(0, 0, 255);
constexpr pf::ColorRef kArticleBlack = pf::Rgb(0, 0, 0);
constexpr pf::ColorRef kArticleYellow = pf::Rgb(255, 255, 0);

// The text colour of a font key: navy with 0x02, else blue with 0x04 and 0x08,
// else black.
pf::ColorRef ArticleTextColour(std::uint8_t key);

// ---------------------------------------------------------------------------
// The view and its font cache

// A new empty view drawing through `dc`, or null when `dc` is null or memory
// ran out. `rect` (may be null: all 0) is left, top, right, bottom in client
// coordinates; `block` (may be null: empty face, size 0) is copied. With an
// initial capacity c > 0 the line table gets room for c + 1 lines. When either
// allocation fails the program is shutting down: nothing is kept and the
// result is null.
ArticleView* CreateArticleView(pf::HDc dc, const pf::Rect* rect, const FontBlock* block,
                               std::uint16_t initialCapacity);

// Stores the new size (left and top stay) and lays the view's document out
// again. -1 without a view, -5 when width or height is 0 or less (nothing
// changes), otherwise the result of LayoutArticle. The caller repaints.
int SetArticleViewSize(ArticleView* view, int width, int height);

// Takes the new face and size, remakes the font of every cache record, lays
// the document out again and paints with the area cleared first. -1 without a
// view; 1 when the layout does not return 0 (nothing painted); otherwise the
// result of PaintArticle.
int SetArticleFont(ArticleView* view, const FontBlock* block);

// Deletes every font of the cache; the records stay, without a font.
void ReleaseArticleFonts(ArticleView* view);

// Selects the font of StyleByte `style` (bits 0-7) into the view's context,
// making a cache record and its font on first use (or when the record found
// has lost its font), and with 0x100 or 0x200 also sets the text colour of the
// key. Points `widths` at the record's table, measuring it first when needed.
// Returns the font selected before, or null when memory ran out for a new
// record (stop: the view may be gone).
pf::HFont SelectArticleFont(ArticleView* view, unsigned style);

// Makes the font of `key` for `record` from the view's face and size: height
// the size, size * 5 / 4 with 0x04 (20 for size 0), else size * 6 / 8 with
// 0x02 (14 for size 0); weight 700 with 0x08, else 400. Stores it in the
// record, marks the width table unmeasured and returns the font (null when the
// platform made none).
pf::HFont MakeVariantFont(ArticleView* view, FontVariant* record, std::uint8_t key);

// Points the view's `widths` at the table of the record holding `font`, and
// measures that table in the selected font when the record is new or the
// table carries the marker. Does nothing for a null font or one not cached.
void FillWidthTable(ArticleView* view, pf::HFont font, bool newRecord);

// Grows the table by 128 lines (at most to 65535). Line `position` (the spare
// line: the caller asks when position equals capacity) is zeroed first, so
// that when memory runs out the table ends there. 0, or -2 when memory ran
// out (stop: the view may be gone), -1 without a view.
int GrowArticleLines(ArticleView* view, std::uint16_t position);

// Releases the document, the table, the fonts, the cache records and the view.
// Null is allowed.
void DestroyArticleView(ArticleView* view);

// The view's topLine, for the settings written at shut-down; 0 for null.
std::uint16_t ArticleViewTopLine(const ArticleView* view);

// ---------------------------------------------------------------------------
// Layout

// Lays `document` out into the view's line table for the view's width.
// `documentSize` is the number of bytes of `document` that may be read (the
// loader's plainLength + 2); no walk reads beyond it nor beyond 65536 bytes.
// Results, and who owns `document` afterwards:
//   0      laid out; the view owns `document` (a different document the view
//          held before is released)
//   2      no document given; with `releaseOld` the view's document has been
//          released
//   -1     no view; `document` stays the caller's
//   65532  refused: the first byte is 0, or the first record has an empty text
//          and is not a separator, or the first record does not fit; the view
//          keeps its document and lines, `document` stays the caller's
//   65534  memory ran out (ShutDown has run; the view may be gone). A new
//          `document` has been released; the view's own document laid out
//          again stays the view's. The table ends after the lines made so far.
// Always clears the highlight, rowCount and maxTopLine first; never changes
// topLine; never paints. Every line takes at least one byte, so layout ends
// whatever the width.
int LayoutArticle(ArticleView* view, std::uint8_t* document, std::size_t documentSize, bool releaseOld);

// The highest topLine at which the document's last line is the lowest line
// that fits the view's height; stored in maxTopLine and returned. -1 (and
// maxTopLine unchanged) without a view, a table, rows or lines.
int ComputeArticleMaxTopLine(ArticleView* view);

// ---------------------------------------------------------------------------
// Painting

// Draws the rows that fit, from topLine (pulled back to maxTopLine when it lies
// beyond rowCount), with the area cleared first when `clearFirst`; sets
// paintedCount; then draws the highlight when there is one. 0; -1 without a
// view, document or table; -2 when memory ran out (stop); otherwise the
// result of PaintHighlight.
int PaintArticle(ArticleView* view, bool clearFirst);

// Draws the search highlight (highlightStart up to highlightEnd) over the
// visible lines it meets: blue text on yellow. 0; -1 without a view, document
// or table; -2 when memory ran out.
int PaintHighlight(ArticleView* view);

// Highlights the part of the run of `count` stored bytes at document offset
// `runOffset` that lies inside the highlight, the run being drawn at (x, y) in
// `line`. Measured with the view's WidthTable. False when memory ran out.
bool HighlightRun(ArticleView* view, const std::uint8_t* document, std::uint16_t runOffset, int count,
                  int x, int y, const ArticleLine& line);

// Draws `count` bytes of `text` in the rectangle (x, y, width, height): the
// pointed path when the SharedConverter's base and the settings' FontAsciiBase
// are both 1488, else one DrawRun. False when memory ran out.
bool DrawArticleRun(ArticleView* view, const std::uint8_t* text, int count, int x, int y, int width,
                    int height);

// Draws `count` bytes of `text` from the last to the first, right to left,
// each letter centred in a cell of its WidthTable width, the last byte ending
// at rect.right; points centred over the cell of the letter drawn before them
// (the byte after them), a holam in the 3 pixels at that cell's left edge.
// Leaves the background mode transparent.
void DrawPointedRun(ArticleView* view, const std::uint8_t* text, int count, pf::Rect rect);

// DrawRun with the given text and background colours, which are set back
// afterwards. False when memory ran out.
bool DrawColouredRun(pf::HDc dc, const std::uint8_t* text, int count, int x, int y, int width, int height,
                     pf::ColorRef textColour, pf::ColorRef backColour);

// Fills (left, top) to (left + width, top + height) with a stock brush.
void FillArea(pf::HDc dc, int left, int top, int width, int height, pf::StockObject brush);

// ---------------------------------------------------------------------------
// Scrolling

// Moves topLine by `delta` rows: never below 0; with `limit` (or when the new
// row lies beyond rowCount) no forward move from maxTopLine on, and a move
// beyond rowCount stops at maxTopLine. Results: -1 without a view; 1 when
// nothing moved (a forward step at the last page, or no movement with `paint`
// 0 or 1); 3 when `paint` is 0 and topLine moved; otherwise the result of
// PaintArticle with the area cleared.
int ScrollArticle(ArticleView* view, int delta, int paint, int limit);

// Brings the first line whose range textOffset .. textOffset + textLength
// holds `offset` to the top (at most to maxTopLine). 1 when a line holds it,
// 0 (topLine unchanged) when none does or there is no view. Does not paint.
int ScrollToOffset(ArticleView* view, int offset);
