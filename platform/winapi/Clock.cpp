#include "platform/winapi/Clock.h"

#include <chrono>
#include <ctime>

namespace winapi {
namespace {

class SystemClock : public Clock {
 public:
  uint32_t TickCount() override {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }
  int64_t Seconds() override { return static_cast<int64_t>(std::time(nullptr)); }
  int64_t MonotonicSeconds() override {
    using namespace std::chrono;
    return duration_cast<seconds>(steady_clock::now().time_since_epoch()).count();
  }
};

SystemClock g_system_clock;
Clock* g_clock = &g_system_clock;

}  // namespace

Clock* SetClock(Clock* clock) {
  Clock* previous = g_clock;
  g_clock = clock != nullptr ? clock : &g_system_clock;
  return previous;
}

Clock& CurrentClock() { return *g_clock; }

uint32_t GetTickCount() { return g_clock->TickCount(); }

ManualClock::ManualClock() : previous_(SetClock(this)) {}

ManualClock::~ManualClock() { SetClock(previous_); }

}  // namespace winapi
