#include "link/UpdateLink.h"

#include <optional>

#include "link/Io_1.h"
#include "platform/portio/PortDriver.h"
#include "platform/winapi/Clock.h"

namespace qzlink {

int StopRequested = 0;

namespace {

constexpr uint32_t kProbeReadyReads = 6000;
constexpr uint32_t kProbeAnswerReads = 300000;
constexpr int64_t kReleaseSeconds = 3;

constexpr uint8_t kProbeReady = 0x80;
constexpr uint8_t kProbeRefusedStatus = 0xA0;
constexpr uint8_t kProbeAnswer = 0xE0;
constexpr uint8_t kCycleReady = 0x30;
constexpr uint8_t kCycleFirst = 0xB8;
constexpr uint8_t kCycleSecond = 0x48;
constexpr uint8_t kBusy = 0x18;
constexpr uint8_t kFailure = 0xC0;
constexpr uint8_t kDone = 0xE8;
constexpr uint8_t kReleased = 0x78;

StopProbe& Probe() {
  static StopProbe probe;
  return probe;
}

std::function<void()>& OnStop() {
  static std::function<void()> onStop;
  return onStop;
}

uint8_t Status(uint32_t base) { return static_cast<uint8_t>(ReadPortByte(base + kStatusOffset) & 0xF8); }
uint8_t ControlHighLines(uint32_t base) { return static_cast<uint8_t>(ReadPortByte(base + kControlOffset) & 0xF0); }
void WriteData(uint32_t base, uint8_t value) { WritePortByte(base + kDataOffset, value); }
void WriteControl(uint32_t base, uint8_t value) { WritePortByte(base + kControlOffset, value); }
int64_t Now() { return winapi::CurrentClock().MonotonicSeconds(); }

// Reads status at most `reads` times until it is one of `values`; `betweenReads` runs before
// each read after the first.
template <typename BetweenReads>
std::optional<uint8_t> AwaitStatus(uint32_t base, std::initializer_list<uint8_t> values, uint32_t reads,
                                   BetweenReads betweenReads) {
  for (uint32_t n = 0; n < reads; ++n) {
    if (n > 0) betweenReads();
    const uint8_t status = Status(base);
    for (uint8_t value : values)
      if (status == value) return status;
  }
  return std::nullopt;
}

std::optional<uint8_t> AwaitStatus(uint32_t base, std::initializer_list<uint8_t> values,
                                   uint32_t reads = kWaitDoneReads) {
  return AwaitStatus(base, values, reads, [] {});
}

int LoseWait(uint32_t base) {
  WriteData(base, 0x00);
  return kWaitLost;
}

void TakeOneEvent() {
  const StopProbeResult seen = Probe() ? Probe()() : StopProbeResult::None;
  if (seen == StopProbeResult::StopPressed) {
    StopRequested = 1;
    if (OnStop()) OnStop()();
  } else if (seen == StopProbeResult::OtherPress) {
    StopRequested = 0;
  }
}

// One busy phase: until the programmer is ready for the next cycle, for at most the limit,
// counted from this busy answer. A programmer may need several phases for a block; only one
// that lasts too long is given up.
bool BusyUntilReady(uint32_t base, uint32_t limitSeconds) {
  const int64_t start = Now();
  uint8_t status = Status(base);
  if (status == kCycleReady) {
    // Ready at once: a programmer that answers busy this way cycle after cycle would keep the
    // PC for ever with Stop unseen, so such a phase too takes an event.
    TakeOneEvent();
    return true;
  }
  while (status != kCycleReady) {
    TakeOneEvent();
    status = Status(base);
    if (TimedOut(start, limitSeconds)) return false;
  }
  return true;
}

}  // namespace

void SetStopProbe(StopProbe probe) { Probe() = std::move(probe); }
void SetOnStop(std::function<void()> onStop) { OnStop() = std::move(onStop); }

bool TimedOut(int64_t start, int64_t limit) { return Now() - start > limit; }
bool ReleaseTimedOut(int64_t start) { return Now() - start >= kReleaseSeconds; }

int ProbeDevice(uint32_t base) {
  bool ready = false;
  for (uint32_t n = 0; n < kProbeReadyReads && !ready; ++n) {
    const uint8_t status = Status(base);
    if (status == kProbeRefusedStatus) return kProbeRefused;
    ready = status == kProbeReady;
  }
  if (!ready) return kProbeNoAnswer;
  WriteData(base, 0x39);
  if (!AwaitStatus(base, {kProbeAnswer}, kProbeAnswerReads)) return kProbeNoAnswer;
  WriteData(base, 0x93);
  return kProbeAnswered;
}

int FindDevicePort(uint32_t& base) {
  const uint32_t count = portio::DriverLptCount(portio::DriverHandle) & 0xFF;
  for (uint32_t i = 1; i <= count; ++i) {
    portio::DriverSelectLpt(portio::DriverHandle, i);
    const uint32_t found = portio::DriverLptBase(portio::DriverHandle);
    if (found == 0) continue;
    base = found;
    if (ProbeDevice(found) == kProbeAnswered) return 1;
  }
  return base > 0 ? 1 : 0;
}

int WaitDeviceDone(uint32_t limitSeconds, uint32_t base) {
  // A Stop from an earlier run that ended without acting on it must not stop this one.
  StopRequested = 0;
  const uint8_t c = ControlHighLines(base);
  if (!AwaitStatus(base, {kCycleReady}, kWaitDoneReads, [&] { WriteControl(base, c); })) return LoseWait(base);
  for (;;) {
    WriteData(base, 0x94);
    if (!AwaitStatus(base, {kCycleFirst})) return LoseWait(base);
    WriteData(base, 0x49);
    if (!AwaitStatus(base, {kCycleSecond})) return LoseWait(base);
    WriteData(base, 0x94);
    const std::optional<uint8_t> verdict = AwaitStatus(base, {kBusy, kFailure, kDone});
    if (!verdict) return LoseWait(base);
    if (StopRequested) {
      StopRequested = 0;
      WriteData(base, 0x99);
      ReleaseHandshake(base);
      return kWaitStopped;
    }
    WriteData(base, 0x49);
    if (*verdict != kBusy) {
      ReleaseHandshake(base);
      return *verdict == kDone ? kWaitDone : kWaitFailed;
    }
    // A programmer that never finishes is ended by the Stop button, not by a time limit.
    if (!BusyUntilReady(base, limitSeconds)) return kWaitTimedOut;
  }
}

int ReleaseHandshake(uint32_t base) {
  const uint8_t c2 = ControlHighLines(base);
  WriteControl(base, c2 | 0x03);
  const int64_t start = Now();
  while (Status(base) != kReleased) {
    if (ReleaseTimedOut(start)) return 0;
  }
  WriteData(base, 0x00);
  WriteControl(base, c2 | 0x0C);
  return 1;
}

}  // namespace qzlink
