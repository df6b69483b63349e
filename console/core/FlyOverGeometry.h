#pragma once
// Where the fly-over menu's items lie and where its window goes: one column of items in a
// 3-pixel frame, placed below the button, above it, or beside it, as the desktop allows.
#include <string>
#include <vector>

#include "console/core/ScrollText.h"

namespace console {

// Right and bottom lie just outside, as the platform's rectangles have them.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  void Offset(int dx, int dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
  }
  bool operator==(const Rect&) const = default;
};

struct Size {
  int width;
  int height;
};

class FlyOverLayout {
 public:
  // Items from their captions as stored ("&" counts), measured in the menu font.
  FlyOverLayout(const std::vector<std::string>& captions, const TextMetrics& metrics);

  int ItemWidth() const { return itemWidth_; }
  int ItemHeight() const { return itemHeight_; }
  int Count() const { return count_; }
  // (0, 0) to the items and the frame; empty without items.
  Rect MenuRect() const;
  Rect MenuItemRect(int index) const;
  // The item under a point of the window, -1 for none.
  int MenuIndexAtPoint(Point point) const;

 private:
  int count_ = 0;
  int itemWidth_ = 0;
  int itemHeight_ = 0;
};

// The window's place for a menu of `menu`'s size opened at `at` (the button's bottom-left
// corner on the screen): below the button, else above it, each left-aligned or, when the
// desktop's right edge is in the way, right-aligned; else beside the button from the top of
// the desktop, cut at its bottom, on its right or its left.
Rect PlaceFlyOver(const Rect& menu, Point at, Size button, Size desktop);

}  // namespace console
