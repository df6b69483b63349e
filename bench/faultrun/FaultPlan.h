#pragma once
// The wire faults a run injects, one at a time at a random access: answers held back for a
// while (up to and just past every wait's bound) or for good, status lines stuck, frame bytes
// shown with a flipped bit or left out, CRC and length fields that do not match, a NAK or
// unknown code, a frame cut short or never offered, bytes from the PC taken wrong or missed,
// and the cable pulled for good or for a moment.
#include <cstdint>
#include <random>
#include <span>

#include "bench/faultrun/Cable.h"
#include "programmer/WireFaults.h"

namespace faultrun {

enum class FaultKind {
  DelayedAnswer,
  StalledAnswer,
  StuckLines,
  FlippedBit,
  DroppedByte,
  WrongCrc,
  WrongLength,
  NakOrUnknownCode,
  ShortFrame,
  StalledFrame,
  ByteTakenWrong,
  ByteMissed,
  Unplugged,
  UnpluggedForAMoment,
};
inline constexpr int kFaultKinds = 14;

const char* FaultName(FaultKind kind);

// The answers one side's device gives, and the read counts at which that side's waits give up.
struct WireSide {
  std::span<const programmer::WirePoint> points;
  std::span<const uint32_t> waitEdges;
};

class FaultPlan {
 public:
  FaultPlan(Cable& cable, std::mt19937_64& random) : cable_(cable), random_(random) {}

  // Plans a fault of `kind` at a random access among the next `accesses`.
  void Plan(FaultKind kind, programmer::WireFaults& faults, const WireSide& side, uint64_t accesses);
  // Whether the planned fault happened (it was armed and the device made it).
  bool Happened(const programmer::WireFaults& faults) const;

 private:
  void Arm(programmer::WireFaults& faults, const WireSide& side);
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(random_() % n); }
  uint32_t HoldReads(const WireSide& side);

  Cable& cable_;
  std::mt19937_64& random_;
  FaultKind kind_ = FaultKind::DelayedAnswer;
  bool armed_ = false;
};

}  // namespace faultrun
