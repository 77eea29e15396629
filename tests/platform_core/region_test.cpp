#include <gtest/gtest.h>

#include "platform/region.h"

namespace {

long long Area(const pf::Region& r) {
  long long a = 0;
  for (const pf::Rect& x : r.Rects()) a += static_cast<long long>(x.Width()) * x.Height();
  return a;
}

TEST(Region, UnionSubtractIntersectKeepRectanglesDisjoint) {
  pf::Region r;
  r.Add(pf::Rect{0, 0, 10, 10});
  r.Add(pf::Rect{5, 5, 15, 15});  // overlaps by 25
  EXPECT_EQ(Area(r), 175);
  EXPECT_EQ(r.Bounds().right, 15);
  r.Subtract(pf::Rect{0, 0, 15, 5});
  EXPECT_EQ(Area(r), 175 - 50);
  EXPECT_FALSE(r.Contains(pf::Point{2, 2}));
  EXPECT_TRUE(r.Contains(pf::Point{12, 12}));
  r.Intersect(pf::Rect{5, 5, 10, 10});
  EXPECT_EQ(Area(r), 25);
  r.Offset(-5, -5);
  EXPECT_EQ(r.Bounds().left, 0);
  r.Subtract(pf::Rect{-100, -100, 100, 100});
  EXPECT_TRUE(r.Empty());
}

TEST(Region, RepeatedWholeAddsCollapse) {
  pf::Region r;
  for (int i = 0; i < 50; ++i) {
    r.Add(pf::Rect{0, 0, 240, 294});
    r.Add(pf::Rect{10, 10, 20, 20});
  }
  EXPECT_EQ(r.Rects().size(), 1u);
  r.Add(pf::Rect{});  // empty: ignored
  EXPECT_EQ(Area(r), 240 * 294);
}

}  // namespace
