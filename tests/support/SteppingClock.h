#pragma once
// A clock whose monotonic time moves on by a fixed step at every reading, so that a wait
// bounded by time ends after a known number of looks at the clock, without real time passing.
// The wall clock stays put unless a test sets it. Installed while it lives.
#include "platform/winapi/Clock.h"

namespace testsupport {

class SteppingClock : public winapi::Clock {
 public:
  explicit SteppingClock(int64_t stepMs) : stepMs_(stepMs), previous_(winapi::SetClock(this)) {}
  ~SteppingClock() override { winapi::SetClock(previous_); }
  SteppingClock(const SteppingClock&) = delete;
  SteppingClock& operator=(const SteppingClock&) = delete;

  uint32_t TickCount() override { return static_cast<uint32_t>(Step()); }
  int64_t Seconds() override { return wallSeconds; }
  int64_t MonotonicSeconds() override { return Step() / 1000; }

  int64_t readings = 0;
  int64_t wallSeconds = 1700000000;

 private:
  int64_t Step() {
    ++readings;
    ms_ += stepMs_;
    return ms_;
  }

  int64_t stepMs_;
  int64_t ms_ = 0;
  winapi::Clock* previous_;
};

}  // namespace testsupport
