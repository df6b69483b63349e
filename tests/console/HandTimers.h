#pragma once
// Timers ticked by hand: the factory keeps every timer it made, and Tick runs one tick of a
// running timer.
#include <functional>
#include <memory>
#include <vector>

#include "console/core/TickTimer.h"

class HandTimer : public console::TickTimer {
 public:
  explicit HandTimer(std::function<void()> tick) : tick_(std::move(tick)) {}
  void Start(int intervalMs) override {
    interval_ = intervalMs;
    running_ = true;
  }
  void Stop() override { running_ = false; }
  bool IsRunning() const override { return running_; }
  int Interval() const override { return interval_; }
  void SetInterval(int intervalMs) override { interval_ = intervalMs; }
  void Tick() {
    if (running_) tick_();
  }

 private:
  std::function<void()> tick_;
  int interval_ = 0;
  bool running_ = false;
};

class HandTimers {
 public:
  console::TickTimerFactory Factory() {
    return [this](std::function<void()> tick) {
      auto timer = std::make_unique<HandTimer>(std::move(tick));
      made.push_back(timer.get());
      return timer;
    };
  }
  std::vector<HandTimer*> made;
};

// Every character 6 pixels wide, lines 13 high.
class FixedMetrics : public console::TextMetrics {
 public:
  int LineHeight() const override { return 13; }
  int TextWidth(const std::string& text) const override { return 6 * int(text.size()); }
};
