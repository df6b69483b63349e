#pragma once
// The console's timers on the toolkit's timer (window-message timers, on the GUI thread).
#include <QTimer>

#include "console/core/TickTimer.h"

namespace console {

class QtTickTimer : public TickTimer {
 public:
  explicit QtTickTimer(std::function<void()> tick);
  void Start(int intervalMs) override { timer_.start(intervalMs); }
  void Stop() override { timer_.stop(); }
  bool IsRunning() const override { return timer_.isActive(); }
  int Interval() const override { return timer_.interval(); }
  void SetInterval(int intervalMs) override { timer_.setInterval(intervalMs); }

 private:
  QTimer timer_;
};

// The factory every console control uses unless a test hands it another.
TickTimerFactory QtTickTimers();

}  // namespace console
