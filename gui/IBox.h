#pragma once

// A rectangle in editor pixels; right and bottom are exclusive for hit tests.
struct IBox {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  IBox() = default;
  IBox(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

  // Only the all-zero box is empty; a box with no area but some non-zero
  // coordinate still counts as a region.
  bool IsEmpty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }

  // Deliberately asymmetric: this box's right and bottom edges count as
  // inside, so a box touching `other` from the left or top overlaps it.
  bool Overlaps(const IBox& other) const {
    return !IsEmpty() && !other.IsEmpty() && right >= other.left && left < other.right && bottom >= other.top &&
           top < other.bottom;
  }

  bool Contains(int x, int y) const { return left <= x && x < right && top <= y && y < bottom; }

  IBox Union(const IBox& other) const {
    return IBox(left < other.left ? left : other.left, top < other.top ? top : other.top,
                right > other.right ? right : other.right, bottom > other.bottom ? bottom : other.bottom);
  }

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }

  bool operator==(const IBox& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const IBox& o) const { return !(*this == o); }
};
