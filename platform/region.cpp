#include "platform/region.h"

#include <algorithm>

namespace pf {

Rect IntersectRects(const Rect& a, const Rect& b) {
  Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (r.Empty()) return Rect{};
  return r;
}

namespace {

// Appends the parts of `r` outside `cut` (at most four rectangles).
void AppendDifference(const Rect& r, const Rect& cut, std::vector<Rect>* out) {
  const Rect in = IntersectRects(r, cut);
  if (in.Empty()) {
    out->push_back(r);
    return;
  }
  if (r.top < in.top) out->push_back(Rect{r.left, r.top, r.right, in.top});
  if (in.bottom < r.bottom) out->push_back(Rect{r.left, in.bottom, r.right, r.bottom});
  if (r.left < in.left) out->push_back(Rect{r.left, in.top, in.left, in.bottom});
  if (in.right < r.right) out->push_back(Rect{in.right, in.top, r.right, in.bottom});
}

}  // namespace

Rect Region::Bounds() const {
  if (rects_.empty()) return Rect{};
  Rect b = rects_.front();
  for (const Rect& r : rects_) {
    b.left = std::min(b.left, r.left);
    b.top = std::min(b.top, r.top);
    b.right = std::max(b.right, r.right);
    b.bottom = std::max(b.bottom, r.bottom);
  }
  return b;
}

bool Region::Contains(Point p) const {
  return std::any_of(rects_.begin(), rects_.end(), [p](const Rect& r) { return r.Contains(p); });
}

void Region::Add(const Rect& r) {
  if (r.Empty()) return;
  // Keep the rectangles disjoint: add only what no rectangle holds yet.
  std::vector<Rect> pieces{r};
  for (const Rect& have : rects_) {
    std::vector<Rect> next;
    for (const Rect& p : pieces) AppendDifference(p, have, &next);
    pieces.swap(next);
    if (pieces.empty()) return;
  }
  rects_.insert(rects_.end(), pieces.begin(), pieces.end());
  // A region that is one whole rectangle again collapses to it, so that
  // repeated invalidation of a whole window does not fragment.
  if (rects_.size() > 1) {
    const Rect b = Bounds();
    long long area = 0;
    for (const Rect& x : rects_) area += static_cast<long long>(x.Width()) * x.Height();
    if (area == static_cast<long long>(b.Width()) * b.Height()) rects_.assign(1, b);
  }
}

void Region::Add(const Region& other) {
  for (const Rect& r : other.rects_) Add(r);
}

void Region::Subtract(const Rect& r) {
  if (r.Empty() || rects_.empty()) return;
  std::vector<Rect> next;
  next.reserve(rects_.size() + 4);
  for (const Rect& have : rects_) AppendDifference(have, r, &next);
  rects_.swap(next);
}

void Region::Subtract(const Region& other) {
  for (const Rect& r : other.rects_) Subtract(r);
}

void Region::Intersect(const Rect& r) {
  std::vector<Rect> next;
  for (const Rect& have : rects_) {
    const Rect in = IntersectRects(have, r);
    if (!in.Empty()) next.push_back(in);
  }
  rects_.swap(next);
}

void Region::Intersect(const Region& other) {
  std::vector<Rect> next;
  for (const Rect& a : rects_) {
    for (const Rect& b : other.rects_) {
      const Rect in = IntersectRects(a, b);
      if (!in.Empty()) next.push_back(in);
    }
  }
  rects_.swap(next);
}

void Region::Offset(int dx, int dy) {
  for (Rect& r : rects_) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
  }
}

}  // namespace pf
