#include "console/core/ScrollText.h"

#include <algorithm>
#include <cmath>

namespace console {

ScrollTextModel::ScrollTextModel(const TextMetrics& metrics, const TickTimerFactory& timers)
    : metrics_(metrics), timer_(timers([this] { TimerTick(); })) {
  timer_->SetInterval(speed_);
  SetSizeParams();
  SetDirection(TScrollDirection::sdRightToLeft);
}

void ScrollTextModel::DataChanged() {
  SetSizeParams();
  if (Invalidate) Invalidate();
}

void ScrollTextModel::SetItems(const std::vector<std::string>& items) {
  if (items == items_) return;
  items_ = items;
  DataChanged();
}

void ScrollTextModel::SetColor(uint32_t color) {
  if (color == color_) return;
  color_ = color;
  DataChanged();
}

void ScrollTextModel::SetAlignment(TAlignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  DataChanged();
}

void ScrollTextModel::SetDepth(int depth) {
  if (depth == depth_) return;
  depth_ = depth;
  DataChanged();
}

void ScrollTextModel::SetTextStyle(TTextStyle style) {
  if (style == textStyle_) return;
  textStyle_ = style;
  DataChanged();
}

void ScrollTextModel::SetSpeed(int speed) {
  speed = std::clamp(speed, 1, 1000);
  if (speed == speed_) return;
  speed_ = speed;
  timer_->SetInterval(speed_);
}

void ScrollTextModel::SetSteps(int steps) { steps_ = steps; }

void ScrollTextModel::SetDirection(TScrollDirection direction) {
  if (direction == direction_) return;
  direction_ = direction;
  if (direction_ == TScrollDirection::sdStatic) ScrollStop();
  else ScrollStart(currentStep_);
}

void ScrollTextModel::SetContinuous(bool continuous) {
  if (continuous == continuous_) return;
  continuous_ = continuous;
  if (direction_ != TScrollDirection::sdStatic) ScrollStart(currentStep_);
}

void ScrollTextModel::SetSize(int width, int height) {
  width_ = width;
  height_ = height;
  SetSizeParams();
}

void ScrollTextModel::ScrollStart(int step) {
  if (timer_->IsRunning()) return;
  if (step >= 0 && step <= steps_) currentStep_ = step;
  timer_->Start(speed_);
}

void ScrollTextModel::ScrollStop() { timer_->Stop(); }

void ScrollTextModel::ReverseDirection() {
  using enum TScrollDirection;
  if (direction_ == sdStatic) return;
  currentStep_ = steps_ - currentStep_;
  switch (direction_) {
    case sdRightToLeft: direction_ = sdLeftToRight; break;
    case sdLeftToRight: direction_ = sdRightToLeft; break;
    case sdTopToBottom: direction_ = sdBottomToTop; break;
    case sdBottomToTop: direction_ = sdTopToBottom; break;
    case sdStatic: break;
  }
}

void ScrollTextModel::TimerTick() {
  if (!timer_->IsRunning()) return;
  if (currentStep_ == 0 && OnBegin) OnBegin();
  ++currentStep_;
  if (PaintNow) PaintNow();
  if (OnStep) OnStep();
  if (currentStep_ > steps_) {
    timer_->Stop();
    if (OnEnd) OnEnd();
    currentStep_ = 0;
    if (continuous_) ScrollStart(0);
  }
}

int ScrollTextModel::StyleExtra() const {
  switch (textStyle_) {
    case TTextStyle::tsRaised:
    case TTextStyle::tsLowered: return 2 * depth_;
    case TTextStyle::tsShaddow: return depth_;
    case TTextStyle::tsNormal: break;
  }
  return 0;
}

void ScrollTextModel::SetSizeParams() {
  lineHeight_ = metrics_.LineHeight() + StyleExtra();
  blockWidth_ = 0;
  for (const std::string& line : items_)
    blockWidth_ = std::max(blockWidth_, metrics_.TextWidth(line) + StyleExtra());
  blockHeight_ = static_cast<int>(items_.size()) * lineHeight_;
  centreX_ = blockWidth_ < width_ ? (width_ - blockWidth_) / 2 : 0;
  centreY_ = blockHeight_ < height_ ? (height_ - blockHeight_) / 2 : 0;
}

Point ScrollTextModel::StartPosition() const {
  // A pass of no steps stays at its start instead of dividing by zero.
  const double t = steps_ > 0 ? static_cast<double>(currentStep_) / steps_ : 0.0;
  const int across = blockWidth_ + width_;
  const int down = blockHeight_ + height_;
  switch (direction_) {
    case TScrollDirection::sdRightToLeft:
      return {static_cast<int>(std::lround((1 - t) * across)) - blockWidth_, centreY_};
    case TScrollDirection::sdLeftToRight:
      return {static_cast<int>(std::lround(t * across)) - blockWidth_, centreY_};
    case TScrollDirection::sdTopToBottom:
      return {centreX_, static_cast<int>(std::lround(t * down)) - blockHeight_};
    case TScrollDirection::sdBottomToTop:
      return {centreX_, static_cast<int>(std::lround((1 - t) * down)) - blockHeight_};
    case TScrollDirection::sdStatic: break;
  }
  return {centreX_, centreY_};
}

int ScrollTextModel::LineOffset(int textWidth) const {
  switch (alignment_) {
    case TAlignment::taCenter:
      return static_cast<int>(std::lround(blockWidth_ / 2.0 - textWidth / 2.0));
    case TAlignment::taLeftJustify: return 0;
    case TAlignment::taRightJustify: return blockWidth_ - textWidth;
  }
  return 0;
}

}  // namespace console
