#pragma once
// A repeating timer as the console's own controls use it: started with an interval, ticking
// into one handler until stopped. The forms run it on the toolkit's timer; tests tick it by
// hand, so nothing waits on real time.
#include <functional>
#include <memory>

namespace console {

class TickTimer {
 public:
  virtual ~TickTimer() = default;
  virtual void Start(int intervalMs) = 0;
  virtual void Stop() = 0;
  virtual bool IsRunning() const = 0;
  virtual int Interval() const = 0;
  // A new interval; a running timer goes on with it.
  virtual void SetInterval(int intervalMs) = 0;
};

// Makes a timer that calls `tick` on each tick.
using TickTimerFactory = std::function<std::unique_ptr<TickTimer>(std::function<void()> tick)>;

}  // namespace console
