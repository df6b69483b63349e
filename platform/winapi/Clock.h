#pragma once
// The wall clock, replaceable so that nothing in a test waits on real time.
#include <cstdint>

namespace winapi {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start; only differences mean anything.
  virtual uint32_t TickCount() = 0;
  // Seconds of wall time, as time() gives them.
  virtual int64_t Seconds() = 0;
  // Seconds since an arbitrary start that never go back, whatever is done to the wall clock:
  // what every time limit is measured in.
  virtual int64_t MonotonicSeconds() = 0;
};

// Installs the clock every caller reads and returns the previous one (nullptr restores the
// system clock).
Clock* SetClock(Clock* clock);
Clock& CurrentClock();

uint32_t GetTickCount();

// A clock that moves only when told to.
class ManualClock : public Clock {
 public:
  ManualClock();
  ~ManualClock() override;
  ManualClock(const ManualClock&) = delete;
  ManualClock& operator=(const ManualClock&) = delete;

  void AdvanceMs(uint32_t ms) {
    ms_ += ms;
    monotonicMs_ += ms;
  }
  void AdvanceSeconds(int64_t s) {
    seconds_ += s;
    ms_ += static_cast<uint32_t>(s * 1000);
    monotonicMs_ += s * 1000;
  }
  // Sets the wall clock alone, as a user setting the time does (backwards too).
  void SetWallSeconds(int64_t s) { seconds_ = s; }
  uint32_t TickCount() override { return ms_; }
  int64_t Seconds() override { return seconds_; }
  int64_t MonotonicSeconds() override { return monotonicMs_ / 1000; }

 private:
  Clock* previous_;
  uint32_t ms_ = 0;
  int64_t seconds_ = 0;
  int64_t monotonicMs_ = 0;
};

}  // namespace winapi
