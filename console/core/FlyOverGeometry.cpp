#include "console/core/FlyOverGeometry.h"

#include <algorithm>

namespace console {

namespace {
constexpr int kFrame = 3;
}  // namespace

FlyOverLayout::FlyOverLayout(const std::vector<std::string>& captions, const TextMetrics& metrics)
    : count_(static_cast<int>(captions.size())) {
  if (count_ == 0) return;
  int widest = 0;
  for (const std::string& caption : captions) widest = std::max(widest, metrics.TextWidth(caption));
  itemWidth_ = widest + 16;
  itemHeight_ = metrics.LineHeight() + 4;
}

Rect FlyOverLayout::MenuRect() const {
  if (count_ == 0) return {};
  return {0, 0, itemWidth_ + 2 * kFrame, count_ * itemHeight_ + 2 * kFrame};
}

Rect FlyOverLayout::MenuItemRect(int index) const {
  const int top = kFrame + index * itemHeight_;
  return {kFrame, top, kFrame + itemWidth_, top + itemHeight_};
}

int FlyOverLayout::MenuIndexAtPoint(Point point) const {
  for (int i = 0; i < count_; ++i)
    if (MenuItemRect(i).Contains(point)) return i;
  return -1;
}

Rect PlaceFlyOver(const Rect& menu, Point at, Size button, Size desktop) {
  Rect r = menu;
  r.Offset(at.x, at.y);
  const int width = r.Width();
  const int height = r.Height();
  if (r.bottom <= desktop.height) {
    if (r.right >= desktop.width) r.Offset(button.width - width, 0);
    return r;
  }
  r.Offset(0, -(height + button.height));
  if (r.top >= 0) {
    if (r.right >= desktop.width) r.Offset(button.width - width, 0);
    return r;
  }
  r.Offset(button.width, -r.top);
  r.bottom = std::min(r.bottom, desktop.height);
  if (r.right >= desktop.width) r.Offset(-(width + button.width + 1), 0);
  return r;
}

}  // namespace console
