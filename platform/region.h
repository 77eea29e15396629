#pragma once
// A region: a set of pixels held as disjoint rectangles. The window system
// keeps update regions and the visible part of each window in it, and hands
// the visible part to drawing contexts as their clip.
//
// Value type; no sharing. All rectangles are half-open (see Rect).

#include <span>
#include <vector>

#include "platform/handles.h"

namespace pf {

class Region {
 public:
  Region() = default;
  explicit Region(const Rect& r) { Add(r); }

  bool Empty() const { return rects_.empty(); }
  // The disjoint, non-empty rectangles that make up the region.
  std::span<const Rect> Rects() const { return rects_; }
  // The smallest rectangle holding the region; an empty Rect when empty.
  Rect Bounds() const;
  bool Contains(Point p) const;

  void Clear() { rects_.clear(); }
  // Adds (unites) a rectangle. Empty rectangles are ignored.
  void Add(const Rect& r);
  void Add(const Region& other);
  // Removes a rectangle's pixels.
  void Subtract(const Rect& r);
  void Subtract(const Region& other);
  // Keeps only the pixels inside r.
  void Intersect(const Rect& r);
  void Intersect(const Region& other);
  // Moves every rectangle by (dx, dy).
  void Offset(int dx, int dy);

 private:
  std::vector<Rect> rects_;
};

// The intersection of two rectangles (empty Rect when they do not meet).
Rect IntersectRects(const Rect& a, const Rect& b);

}  // namespace pf
