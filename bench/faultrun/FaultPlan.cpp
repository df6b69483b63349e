#include "bench/faultrun/FaultPlan.h"

#include <cmath>

namespace faultrun {

using programmer::WirePoint;

const char* FaultName(FaultKind kind) {
  switch (kind) {
    case FaultKind::DelayedAnswer: return "answer delayed";
    case FaultKind::StalledAnswer: return "answer stalled (line stuck busy)";
    case FaultKind::StuckLines: return "status lines stuck";
    case FaultKind::FlippedBit: return "bit flipped";
    case FaultKind::DroppedByte: return "byte dropped";
    case FaultKind::WrongCrc: return "wrong CRC";
    case FaultKind::WrongLength: return "wrong length";
    case FaultKind::NakOrUnknownCode: return "NAK or unknown code";
    case FaultKind::ShortFrame: return "frame truncated";
    case FaultKind::StalledFrame: return "frame never offered";
    case FaultKind::ByteTakenWrong: return "PC byte taken with a bit flipped";
    case FaultKind::ByteMissed: return "PC byte missed";
    case FaultKind::Unplugged: return "unplugged";
    case FaultKind::UnpluggedForAMoment: return "unplugged for a moment";
  }
  return "?";
}

void FaultPlan::Plan(FaultKind kind, programmer::WireFaults& faults, const WireSide& side, uint64_t accesses) {
  kind_ = kind;
  armed_ = false;
  // Half the faults land evenly over the transaction, half on a logarithmic scale, so that its
  // first exchanges (the poll, the request, the identity) are hit as often as its bulk.
  const double scale = std::uniform_real_distribution<double>(0, std::log1p(static_cast<double>(accesses)))(random_);
  const uint64_t at = Below(2) == 0 ? random_() % (accesses + 1) : static_cast<uint64_t>(std::expm1(scale));
  cable_.PlanIn(at, [this, &faults, side] {
    armed_ = true;
    Arm(faults, side);
  });
}

bool FaultPlan::Happened(const programmer::WireFaults& faults) const {
  if (!armed_) return false;
  switch (kind_) {
    case FaultKind::StuckLines:
    case FaultKind::Unplugged:
    case FaultKind::UnpluggedForAMoment:
      return true;
    default:
      return !faults.Pending();
  }
}

// Mostly a short hold; often one right at or just past the bound of a wait.
uint32_t FaultPlan::HoldReads(const WireSide& side) {
  if (Below(2) == 0) return 1 + Below(64);
  const uint32_t edge = side.waitEdges[Below(static_cast<uint32_t>(side.waitEdges.size()))];
  return edge - 2 + Below(5);
}

void FaultPlan::Arm(programmer::WireFaults& faults, const WireSide& side) {
  const WirePoint point = side.points[Below(static_cast<uint32_t>(side.points.size()))];
  const bool manyAnswers = point == WirePoint::ReceivePair || point == WirePoint::SendNibble;
  const uint32_t skip = manyAnswers ? Below(400) : Below(3);
  const size_t byte = random_() % 0x2000;
  switch (kind_) {
    case FaultKind::DelayedAnswer: faults.DelayAnswer(point, HoldReads(side), skip); break;
    case FaultKind::StalledAnswer: faults.StallAnswer(point, skip); break;
    case FaultKind::StuckLines: {
      const auto mask = static_cast<uint8_t>((1 + Below(31)) << 3);
      faults.StickLines(mask, static_cast<uint8_t>(random_()), Below(2) == 0 ? 1 + Below(64) : Below(200000));
      break;
    }
    case FaultKind::FlippedBit: faults.FlipBit(byte, static_cast<int>(Below(8))); break;
    case FaultKind::DroppedByte: faults.DropByte(byte); break;
    case FaultKind::WrongCrc: faults.CorruptCrc(); break;
    case FaultKind::WrongLength: {
      static constexpr uint16_t kLengths[] = {0, 3, 4, 5, 6, 0x30, 0x405, 0x2010, 0xFFFF};
      faults.WrongLength(kLengths[Below(std::size(kLengths))]);
      break;
    }
    case FaultKind::NakOrUnknownCode: {
      static constexpr uint8_t kCodes[] = {0xFF, 0xA8, 0xE0, 0x00};
      faults.ReplaceCode(kCodes[Below(std::size(kCodes))]);
      break;
    }
    case FaultKind::ShortFrame: faults.ShortPayload(Below(2) == 0 ? Below(8) : Below(0x2000)); break;
    case FaultKind::StalledFrame: faults.StallFrame(); break;
    case FaultKind::ByteTakenWrong: faults.DamageTaken(byte, static_cast<uint8_t>(1u << Below(8)), Below(3)); break;
    case FaultKind::ByteMissed: faults.DropTaken(byte, Below(3)); break;
    case FaultKind::Unplugged: cable_.Unplug(); break;
    case FaultKind::UnpluggedForAMoment:
      cable_.Unplug();
      cable_.PlanIn(1 + random_() % 200000, [this] { cable_.Plug(); });
      break;
  }
}

}  // namespace faultrun
