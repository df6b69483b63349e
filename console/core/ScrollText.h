#pragma once
// The scrolling text's behaviour without a widget: lines of text that move across the
// control in one of four directions, one step per timer tick, a pass taking Steps + 1 ticks.
// The widget measures the text, paints, and runs the timer through TickTimer.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "console/core/TickTimer.h"

namespace console {

enum class TAlignment : uint8_t { taCenter, taLeftJustify, taRightJustify };
enum class TTextStyle : uint8_t { tsNormal, tsRaised, tsLowered, tsShaddow };
enum class TScrollDirection : uint8_t {
  sdStatic, sdRightToLeft, sdLeftToRight, sdTopToBottom, sdBottomToTop
};

// Colours the control knows by name; the widget resolves the system ones.
inline constexpr uint32_t clBtnFace = 0x8000000F;
inline constexpr uint32_t clWindow = 0x80000005;

// The font as the sizes need it: the height of a line (font height and internal leading)
// and the width of a text.
class TextMetrics {
 public:
  virtual ~TextMetrics() = default;
  virtual int LineHeight() const = 0;
  virtual int TextWidth(const std::string& text) const = 0;
};

struct Point {
  int x;
  int y;
};

class ScrollTextModel {
 public:
  // Starts scrolling right to left at once, as a new control does.
  ScrollTextModel(const TextMetrics& metrics, const TickTimerFactory& timers);

  // Called as the text moves or changes; unset ones do nothing.
  std::function<void()> OnBegin;
  std::function<void()> OnStep;
  std::function<void()> OnEnd;
  std::function<void()> PaintNow;    // a tick paints at once
  std::function<void()> Invalidate;  // a changed look paints later

  void SetItems(const std::vector<std::string>& items);
  void SetColor(uint32_t color);
  void SetAlignment(TAlignment alignment);
  void SetDepth(int depth);
  void SetTextStyle(TTextStyle style);
  void SetSpeed(int speed);  // 1..1000 ms, clamped
  void SetSteps(int steps);
  void SetDirection(TScrollDirection direction);
  void SetContinuous(bool continuous);
  // The font's change notice: the sizes follow.
  void FontChanged() { DataChanged(); }
  void SetSize(int width, int height);

  void ScrollStart(int step);
  void ScrollStop();
  void ReverseDirection();
  void TimerTick();

  // Line height, block size and centre from the current font and items.
  void SetSizeParams();
  // Where the block's top-left corner is drawn at the current step.
  Point StartPosition() const;
  // A line's offset within the block for the alignment.
  int LineOffset(int textWidth) const;

  const std::vector<std::string>& Items() const { return items_; }
  uint32_t Color() const { return color_; }
  TAlignment Alignment() const { return alignment_; }
  TTextStyle TextStyle() const { return textStyle_; }
  TScrollDirection ScrollDirection() const { return direction_; }
  bool Continuous() const { return continuous_; }
  int Steps() const { return steps_; }
  int Speed() const { return speed_; }
  int Depth() const { return depth_; }
  int CurrentStep() const { return currentStep_; }
  int LineHeightPx() const { return lineHeight_; }
  int BlockWidth() const { return blockWidth_; }
  int BlockHeight() const { return blockHeight_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Scrolling() const { return timer_->IsRunning(); }

 private:
  void DataChanged();
  // Pixels the raised, lowered and shadow copies add to a line.
  int StyleExtra() const;

  const TextMetrics& metrics_;
  TAlignment alignment_ = TAlignment::taCenter;
  TTextStyle textStyle_ = TTextStyle::tsNormal;
  TScrollDirection direction_ = TScrollDirection::sdStatic;
  std::unique_ptr<TickTimer> timer_;
  std::vector<std::string> items_{"ScrollText"};
  uint32_t color_ = clBtnFace;
  bool continuous_ = true;
  int steps_ = 80;
  int speed_ = 100;
  int depth_ = 1;
  int lineHeight_ = 0;
  int currentStep_ = 0;
  int blockWidth_ = 0;
  int blockHeight_ = 0;
  int centreX_ = 0;
  int centreY_ = 0;
  int width_ = 200;
  int height_ = 20;
};

}  // namespace console
