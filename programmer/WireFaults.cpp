#include "programmer/WireFaults.h"

#include <utility>


namespace programmer {

void WireFaults::DelayAnswer(WirePoint point, uint32_t reads, uint32_t skip) {
  answers_.push_back({point, skip, {reads, false}});
}

void WireFaults::StallAnswer(WirePoint point, uint32_t skip) { answers_.push_back({point, skip, {0, true}}); }

FrameFaults& WireFaults::PlanFrame(FrameTarget target) {
  for (PlannedFrame& planned : frames_)
    if (planned.target == target) return planned.faults;
  return frames_.emplace_back(PlannedFrame{target, {}}).faults;
}

void WireFaults::CorruptNibble(size_t frameByte, bool highNibble, FrameTarget target) {
  PlanFrame(target).nibble = NibbleFault{frameByte, highNibble};
}

void WireFaults::FlipBit(size_t frameByte, int bit, FrameTarget target) {
  PlanFrame(target).nibble = NibbleFault{frameByte, bit >= 4, static_cast<uint8_t>(0x10 << (bit % 4))};
}

void WireFaults::DropByte(size_t frameByte, FrameTarget target) {
  PlanFrame(target).nibble = NibbleFault{frameByte, true, 0, true};
}

void WireFaults::DamageTaken(size_t byte, uint8_t bits, uint32_t skip) {
  taken_ = TakenFault{byte, bits, false};
  takenSkip_ = skip;
}

void WireFaults::DropTaken(size_t byte, uint32_t skip) {
  taken_ = TakenFault{byte, 0, true};
  takenSkip_ = skip;
}

void WireFaults::StickLines(uint8_t mask, uint8_t level, uint32_t reads, uint32_t after) {
  stuck_ = {mask, static_cast<uint8_t>(level & mask)};
  stuckReads_ = reads;
  stuckAfter_ = after;
}

void WireFaults::CorruptCrc(FrameTarget target) { PlanFrame(target).corruptCrc = true; }

void WireFaults::WrongLength(uint16_t lengthField, FrameTarget target) { PlanFrame(target).lengthField = lengthField; }

void WireFaults::ReplaceCode(uint8_t code, FrameTarget target) { PlanFrame(target).code = code; }

void WireFaults::ShortPayload(uint32_t bytes, FrameTarget target) { PlanFrame(target).payloadBytes = bytes; }

void WireFaults::StallFrame(FrameTarget target) { PlanFrame(target).stall = true; }

void WireFaults::Clear() {
  answers_.clear();
  frames_.clear();
  taken_.reset();
  stuckReads_ = 0;
}

std::optional<TakenFault> WireFaults::TakeTakenFault() {
  if (!taken_) return std::nullopt;
  if (takenSkip_ > 0) {
    --takenSkip_;
    return std::nullopt;
  }
  return std::exchange(taken_, std::nullopt);
}

AnswerHold WireFaults::TakeAnswerHold(WirePoint point) {
  for (auto it = answers_.begin(); it != answers_.end(); ++it) {
    if (it->point != point) continue;
    if (it->skip > 0) {
      --it->skip;
      continue;
    }
    const AnswerHold hold = it->hold;
    answers_.erase(it);
    return hold;
  }
  return {};
}

FrameFaults WireFaults::TakeFrameFaults(std::optional<uint32_t> transferFrame) {
  const auto take = [this](FrameTarget target) -> std::optional<FrameFaults> {
    for (auto it = frames_.begin(); it != frames_.end(); ++it) {
      if (it->target != target) continue;
      const FrameFaults faults = it->faults;
      frames_.erase(it);
      return faults;
    }
    return std::nullopt;
  };
  if (std::optional<FrameFaults> next = take(kNextFrame)) return *next;
  if (transferFrame) {
    if (std::optional<FrameFaults> own = take(transferFrame)) return *own;
  }
  return {};
}

}  // namespace programmer
