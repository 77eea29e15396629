// Drawing contexts, objects and primitives, pixel for pixel.

#include <gtest/gtest.h>

#include <climits>

#include "platform/gdi.h"
#include "tests/platform_draw/draw_test_util.h"

namespace pf {
namespace {

using test::Canvas;
using test::Picture;

constexpr Pixel W = 0xFFFFFF;
constexpr Pixel K = 0x000000;
constexpr Pixel R = 0xFF0000;
constexpr Pixel B = 0x0000FF;
const std::map<Pixel, char> kLegend{{W, '.'}, {K, '#'}, {R, 'r'}, {B, 'b'}, {0x00FF00, 'g'}};

TEST(Surface, RefusesBadSizesAndChecksEveryPoint) {
  for (auto [w, h] : {std::pair{0, 5}, {5, -1}, {kMaxSurfaceSide + 1, 1}, {INT_MIN, INT_MIN}}) {
    Surface s(w, h);
    EXPECT_TRUE(s.Empty()) << w << "x" << h;
  }
  Surface s(3, 2, 7);
  EXPECT_EQ(s.At(2, 1), 7u);
  s.Set(-1, 0, 1);
  s.Set(3, 0, 1);
  s.Set(0, INT_MAX, 1);
  EXPECT_EQ(s.At(-1, 0), 0u);
  EXPECT_EQ(s.At(3, 1), 0u);
  for (Pixel p : s.Pixels()) EXPECT_EQ(p, 7u);
  EXPECT_EQ(PixelFromColor(Rgb(1, 2, 3)), 0x010203u);
  EXPECT_EQ(ColorFromPixel(0x010203), Rgb(1, 2, 3));
}

TEST(Draw, FillHonoursOriginAndClip) {
  // Client area at (2, 1) on the surface; the clip leaves out the last column.
  Canvas c(8, 5, W, Point{2, 1}, Rect{2, 1, 7, 5});
  HBrush red = CreateSolidBrush(Rgb(255, 0, 0));
  ASSERT_TRUE(FillRect(c.dc, Rect{-1, -1, 10, 2}, red));
  EXPECT_EQ(Picture(c.surface, kLegend), (std::vector<std::string>{
                                             "........",
                                             "..rrrrr.",
                                             "..rrrrr.",
                                             "........",
                                             "........",
                                         }));
  EXPECT_EQ(GetClipBox(c.dc).right, 5);
  EXPECT_EQ(GetPixel(c.dc, 0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(GetPixel(c.dc, 5, 0), kInvalidColor);  // clipped away
  EXPECT_FALSE(SetPixel(c.dc, -1, 0, 0));
  DeleteObject(red);
}

TEST(Draw, HugeCoordinatesAreClippedNotWrapped) {
  Canvas c(4, 3, W, Point{1, 1}, Rect{0, 0, 4, 3});
  HBrush black = static_cast<HBrush>(GetStockObject(StockObject::BlackBrush));
  EXPECT_TRUE(FillRect(c.dc, Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, black));
  for (Pixel p : c.surface.Pixels()) EXPECT_EQ(p, K);
  c.surface.Fill(W);
  EXPECT_TRUE(FillRect(c.dc, Rect{INT_MAX - 1, 0, INT_MAX, 1}, black));
  EXPECT_TRUE(DrawRectangle(c.dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX));
  MoveTo(c.dc, INT_MIN, INT_MIN);
  EXPECT_TRUE(LineTo(c.dc, INT_MAX, INT_MAX - 7));
  EXPECT_TRUE(LineTo(c.dc, INT_MIN, INT_MAX - 7));
  EXPECT_TRUE(LineTo(c.dc, INT_MIN, INT_MAX));
  MoveTo(c.dc, INT_MAX, INT_MAX);
  EXPECT_TRUE(LineTo(c.dc, 0, INT_MAX));
  EXPECT_TRUE(LineTo(c.dc, 0, 0));
  EXPECT_TRUE(BitBlt(c.dc, INT_MAX - 2, INT_MIN, INT_MAX, INT_MAX, c.dc, INT_MIN, 0, RasterOp::SrcCopy));
  EXPECT_TRUE(SetPixel(c.dc, 0, 0, 0) && !SetPixel(c.dc, INT_MAX, INT_MAX, 0));
}

TEST(Draw, RectangleOutlinesWithPenAndFillsWithBrush) {
  Canvas c(7, 5);
  HPen red = CreatePen(PenStyle::Solid, 1, Rgb(255, 0, 0));
  HBrush blue = CreateSolidBrush(Rgb(0, 0, 255));
  HObj oldPen = SelectObject(c.dc, red);
  HObj oldBrush = SelectObject(c.dc, blue);
  EXPECT_EQ(oldPen, GetStockObject(StockObject::BlackPen));
  EXPECT_EQ(oldBrush, GetStockObject(StockObject::WhiteBrush));
  DrawRectangle(c.dc, 1, 0, 6, 4);
  // A rectangle one pixel high is a rule of the pen's colour.
  DrawRectangle(c.dc, 0, 4, 3, 5);
  EXPECT_EQ(Picture(c.surface, kLegend), (std::vector<std::string>{
                                             ".rrrrr.",
                                             ".rbbbr.",
                                             ".rbbbr.",
                                             ".rrrrr.",
                                             "rrr....",
                                         }));
  // With the null pen the brush covers the whole rectangle; the null brush
  // leaves the inside alone.
  c.surface.Fill(W);
  SelectObject(c.dc, GetStockObject(StockObject::NullPen));
  DrawRectangle(c.dc, 0, 0, 2, 2);
  SelectObject(c.dc, red);
  SelectObject(c.dc, GetStockObject(StockObject::NullBrush));
  DrawRectangle(c.dc, 3, 0, 7, 4);
  EXPECT_EQ(Picture(c.surface, kLegend), (std::vector<std::string>{
                                             "bb.rrrr",
                                             "bb.r..r",
                                             "...r..r",
                                             "...rrrr",
                                             ".......",
                                         }));
  EXPECT_EQ(SelectObject(c.dc, oldPen), red);
  EXPECT_EQ(SelectObject(c.dc, oldBrush), GetStockObject(StockObject::NullBrush));
  EXPECT_TRUE(DeleteObject(red));
  EXPECT_TRUE(DeleteObject(blue));
}

TEST(Draw, LinesLeaveOutTheEndPoint) {
  Canvas c(6, 6);
  MoveTo(c.dc, 0, 0);
  LineTo(c.dc, 4, 0);  // right
  LineTo(c.dc, 4, 3);  // down
  MoveTo(c.dc, 5, 5);
  LineTo(c.dc, 2, 5);  // left
  MoveTo(c.dc, 0, 1);
  LineTo(c.dc, 3, 4);  // slanted
  EXPECT_EQ(Picture(c.surface, kLegend), (std::vector<std::string>{
                                             "#####.",
                                             "#...#.",
                                             ".#..#.",
                                             "..#...",
                                             "......",
                                             "...###",
                                         }));
}

TEST(Objects, SelectReturnsPreviousAndRejectsBadHandles) {
  Canvas c(2, 2);
  HFont systemFont = GetStockObject(StockObject::SystemFont);
  EXPECT_EQ(GetCurrentObject(c.dc, ObjectKind::Font), systemFont);
  EXPECT_EQ(GetObjectKind(systemFont), ObjectKind::Font);
  HBrush brush = CreateSolidBrush(Rgb(1, 2, 3));
  EXPECT_EQ(SelectObject(c.dc, brush), GetStockObject(StockObject::WhiteBrush));
  EXPECT_EQ(SelectObject(c.dc, brush), brush);  // selecting it again
  // Junk handles and wrong kinds fail harmlessly.
  int junk = 0;
  EXPECT_EQ(SelectObject(c.dc, reinterpret_cast<HObj>(&junk)), nullptr);
  EXPECT_EQ(SelectObject(reinterpret_cast<HDc>(&junk), brush), nullptr);
  EXPECT_FALSE(FillRect(c.dc, Rect{0, 0, 1, 1}, systemFont));
  EXPECT_FALSE(DeleteObject(reinterpret_cast<HObj>(&junk)));
  EXPECT_FALSE(DeleteDc(reinterpret_cast<HDc>(&junk)));
  EXPECT_EQ(CreatePen(PenStyle::Solid, 2, 0), nullptr);  // wide pens are not supported
  // Bitmaps go only into memory contexts.
  HBitmap bitmap = CreateCompatibleBitmap(c.dc, 1, 1);
  EXPECT_EQ(SelectObject(c.dc, bitmap), nullptr);
  DeleteObject(bitmap);
  // Stock objects cannot be deleted.
  EXPECT_TRUE(DeleteObject(GetStockObject(StockObject::BlackBrush)));
  EXPECT_EQ(GetObjectKind(GetStockObject(StockObject::BlackBrush)), ObjectKind::Brush);

  // Deleted while selected: it keeps drawing until it is replaced, then goes.
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_EQ(GetObjectKind(brush), ObjectKind::None);
  EXPECT_FALSE(DeleteObject(brush));  // a second delete is refused
  DrawRectangle(c.dc, 0, 0, 2, 2);
  SelectObject(c.dc, GetStockObject(StockObject::NullPen));
  DrawRectangle(c.dc, 0, 0, 2, 2);
  EXPECT_EQ(c.surface.At(1, 1), 0x010203u);
  SelectObject(c.dc, GetStockObject(StockObject::WhiteBrush));
  EXPECT_EQ(GetCurrentObject(c.dc, ObjectKind::Brush), GetStockObject(StockObject::WhiteBrush));
}

TEST(Objects, ModesAndColoursReturnPreviousValues) {
  Canvas c(1, 1);
  EXPECT_EQ(SetTextColor(c.dc, Rgb(1, 2, 3)), Rgb(0, 0, 0));
  EXPECT_EQ(SetTextColor(c.dc, 0), Rgb(1, 2, 3));
  EXPECT_EQ(SetBkColor(c.dc, 0), Rgb(255, 255, 255));
  EXPECT_EQ(SetBkMode(c.dc, BkMode::Transparent), BkMode::Opaque);
  EXPECT_EQ(GetBkMode(c.dc), BkMode::Transparent);
  EXPECT_EQ(GetPixelsPerInchY(c.dc), 96);
}

HBitmap MonoBitmap() {
  // 1-bit BMP, 4 x 2, top-down, palette black / white: row 0 = 0101, row 1 = 1100.
  static const std::uint8_t bmp[] = {
      'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0,          // file header
      40, 0, 0, 0, 4, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 1, 0,  // w 4, h -2, 1 bpp
      0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0,
      0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0,  // palette
      0x50, 0, 0, 0, 0xC0, 0, 0, 0};    // rows
  return CreateBitmapFromBmp(bmp);
}

TEST(BitCopy, MonochromeTakesTextAndBackgroundColours) {
  Canvas c(4, 2, 0x00FF00);
  HBitmap mono = MonoBitmap();
  ASSERT_NE(mono, nullptr);
  HDc mem = CreateCompatibleDc(c.dc);
  HObj old = SelectObject(mem, mono);
  EXPECT_EQ(old, GetStockObject(StockObject::DefaultBitmap));
  // Default colours: copied unchanged (black stays black, white white).
  ASSERT_TRUE(BitBlt(c.dc, 0, 0, 4, 2, mem, 0, 0, RasterOp::SrcCopy));
  EXPECT_EQ(Picture(c.surface, kLegend), (std::vector<std::string>{"#.#.", "..##"}));
  // Black pixels take the text colour, white ones the background colour.
  SetTextColor(c.dc, Rgb(255, 0, 0));
  SetBkColor(c.dc, Rgb(0, 0, 255));
  BitBlt(c.dc, 0, 0, 4, 2, mem, 0, 0, RasterOp::SrcCopy);
  EXPECT_EQ(Picture(c.surface, kLegend), (std::vector<std::string>{"rbrb", "bbrr"}));
  // A bitmap is held by one context at a time.
  HDc other = CreateCompatibleDc(nullptr);
  EXPECT_EQ(SelectObject(other, mono), nullptr);
  EXPECT_EQ(SelectObject(mem, old), mono);
  EXPECT_EQ(SelectObject(other, mono), GetStockObject(StockObject::DefaultBitmap));
  DeleteDc(other);  // releases the bitmap, which stays alive
  BitmapInfo info;
  ASSERT_TRUE(GetBitmapInfo(mono, &info));
  EXPECT_EQ(info.width, 4);
  EXPECT_TRUE(info.monochrome);
  DeleteDc(mem);
  EXPECT_TRUE(DeleteObject(mono));
}

TEST(BitCopy, RasterOpsSourceClippingAndOverlap) {
  Canvas c(5, 1, W);
  HDc mem = CreateCompatibleDc(c.dc);
  HBitmap bitmap = CreateCompatibleBitmap(c.dc, 3, 1);
  ASSERT_NE(bitmap, nullptr);
  SelectObject(mem, bitmap);
  SetPixel(mem, 0, 0, Rgb(255, 0, 0));
  SetPixel(mem, 1, 0, Rgb(0, 0, 0));
  SetPixel(mem, 2, 0, Rgb(0, 0, 255));
  // The source has 3 pixels: a copy of 5 writes only 3.
  BitBlt(c.dc, 1, 0, 5, 1, mem, 0, 0, RasterOp::SrcCopy);
  EXPECT_EQ(Picture(c.surface, kLegend)[0], ".r#b.");
  // AND with white keeps the source; XOR with itself gives black.
  BitBlt(c.dc, 1, 0, 3, 1, mem, 0, 0, RasterOp::SrcInvert);
  EXPECT_EQ(Picture(c.surface, kLegend)[0], ".###.");
  PatBlt(c.dc, 0, 0, 2, 1, RasterOp::DstInvert);
  EXPECT_EQ(Picture(c.surface, kLegend)[0], "#.##.");
  // Copying within one surface onto an overlapping place (a scroll).
  c.surface.Fill(W);
  c.surface.Set(0, 0, R);
  c.surface.Set(1, 0, B);
  BitBlt(c.dc, 1, 0, 4, 1, c.dc, 0, 0, RasterOp::SrcCopy);
  EXPECT_EQ(Picture(c.surface, kLegend)[0], "rrb..");
  EXPECT_FALSE(BitBlt(c.dc, 0, 0, 1, 1, nullptr, 0, 0, RasterOp::SrcCopy));
  EXPECT_FALSE(BitBlt(c.dc, 0, 0, 1, 1, mem, 0, 0, static_cast<RasterOp>(0x12345678)));
  DeleteDc(mem);  // deleting the context first, the bitmap after
  DeleteObject(bitmap);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 0, 5), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, kMaxSurfaceSide + 1, 1), nullptr);
}

TEST(BitCopy, ObjectDeletedWhileSelectedGoesWithItsContext) {
  HDc mem = CreateCompatibleDc(nullptr);
  HBitmap bitmap = CreateCompatibleBitmap(mem, 2, 2);
  SelectObject(mem, bitmap);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_TRUE(SetPixel(mem, 1, 1, 0));  // still drawable
  EXPECT_TRUE(DeleteDc(mem));            // and freed here (the sanitizer build checks)
}

}  // namespace
}  // namespace pf
