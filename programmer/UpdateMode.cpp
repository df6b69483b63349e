#include "programmer/UpdateMode.h"

#include <algorithm>
#include <cstdio>
#include <span>
#include <string>

#include "platform/winapi/Clock.h"

namespace programmer {

namespace {

constexpr uint8_t kIdleStatus = 0x80;
constexpr uint8_t kRefusedStatus = 0xA0;
constexpr uint8_t kProbeAnswerStatus = 0xE0;
constexpr uint8_t kCycleReady = 0x30;
constexpr uint8_t kBusy = 0x18;
constexpr uint8_t kFailure = 0xC0;
constexpr uint8_t kDone = 0xE8;
constexpr uint8_t kReleasedStatus = 0x78;
constexpr uint8_t kAbort = 0x99;

constexpr size_t kFormatIdLength = 12;
constexpr size_t kModelFieldLength = 16;

std::vector<uint8_t> Text(const char* text) { return std::vector<uint8_t>(text, text + std::char_traits<char>::length(text)); }

}  // namespace

UpdateMode::UpdateMode(std::vector<uint8_t> flash) : flash_(std::move(flash)) {
  wire_.SetListener(this);
  wire_.SetFrameRules(qzlink::kUpdateFrames);
  EnterIdle();
}

void UpdateMode::CountAccess() {
  if (faults_.unplugAfterAccesses && accesses_ >= *faults_.unplugAfterAccesses) unplugged_ = true;
  ++accesses_;
}

uint8_t UpdateMode::Read(portio::LptRegister reg) {
  CountAccess();
  if (unplugged_) return floating_.Read(reg);
  if (reg == portio::LptRegister::Data) return data_;
  if (reg == portio::LptRegister::Control) return control_;
  if (phase_ == Phase::Frames) return wire_.Read(reg);
  // A probe fault set while idle shows at once.
  if (phase_ == Phase::Idle && faults_.refuseProbe != refusing_) EnterIdle();
  const uint8_t status = lines_.Read();
  if (phase_ == Phase::Idle && commitReadsLeft_ > 0 && --commitReadsLeft_ == 0) EnterIdle();
  if (phase_ == Phase::Busy && !AtBlock(faults_.busyForeverAtBlock) && --busyReadsLeft_ == 0) {
    Show(Phase::CycleReady, WirePoint::UpdateCycle, kCycleReady);
  }
  return status;
}

void UpdateMode::Write(portio::LptRegister reg, uint8_t value) {
  CountAccess();
  if (unplugged_) {
    floating_.Write(reg, value);
    return;
  }
  if (reg == portio::LptRegister::Status) return;
  (reg == portio::LptRegister::Data ? data_ : control_) = value;
  if (phase_ == Phase::Frames) {
    wire_.Write(reg, value);
  } else if (reg == portio::LptRegister::Data) {
    OnData(value);
  } else {
    OnControl(value);
  }
}

void UpdateMode::OnData(uint8_t value) {
  switch (phase_) {
    case Phase::Idle:
      if (value == 0x39 && lines_.AnswerSeen() && !refusing_ && commitReadsLeft_ == 0)
        Show(Phase::ProbeAnswered, WirePoint::UpdateProbe, kProbeAnswerStatus);
      return;
    case Phase::ProbeAnswered:
      if (value == 0x93) StartRun();
      else EnterIdle();
      return;
    case Phase::CycleReady:
      if (value == 0x94) return Show(Phase::CycleFirst, WirePoint::UpdateCycle, 0xB8);
      break;
    case Phase::CycleFirst:
      if (value == 0x49) return Show(Phase::CycleSecond, WirePoint::UpdateCycle, 0x48);
      break;
    case Phase::CycleSecond:
      if (value == 0x94) return ShowVerdict();
      break;
    case Phase::Verdict:
      if (value == 0x49) return AfterVerdict();
      if (value == kAbort) {
        ++log_.aborts;
        run_ = Run::None;
        verdict_ = kFailure;  // nothing follows the release
        phase_ = Phase::Release;
        releaseShown_ = false;
        return;
      }
      break;
    case Phase::Release:
      if (value == 0x00 && releaseShown_) return;
      break;
    case Phase::Busy:
    case Phase::Frames:
      break;
  }
  // Anything else means the PC gave up on the exchange (it writes 0x00 when a wait runs out).
  EnterIdle();
}

void UpdateMode::OnControl(uint8_t value) {
  if (phase_ != Phase::Release) return;
  if (!releaseShown_ && (value & 0x0F) == 0x03) {
    releaseShown_ = true;
    lines_.Answer(WirePoint::UpdateRelease, kReleasedStatus);
  } else if (releaseShown_ && (value & 0x0F) == 0x0C && data_ == 0x00) {
    Released();
  }
}

void UpdateMode::Show(Phase phase, WirePoint point, uint8_t status) {
  phase_ = phase;
  lines_.Answer(point, status);
}

void UpdateMode::EnterIdle() {
  // Whatever a fault held back is over: the PC's next probe finds the mode as a poll finds
  // the console's link.
  lines_.EndStall();
  run_ = Run::None;
  identityAnswered_ = false;
  refusing_ = faults_.refuseProbe;
  const uint8_t idle = commitReadsLeft_ > 0 ? kBusy : kIdleStatus;
  Show(Phase::Idle, WirePoint::UpdateProbe, refusing_ ? kRefusedStatus : idle);
}

void UpdateMode::StartRun() {
  ++log_.probes;
  phase_ = Phase::Frames;
  run_ = Run::None;
  identityAnswered_ = false;
  block_ = 0;
  stagedBlocks_ = 0;
  staged_.assign(kSystemImageSize, 0xFF);
  wire_.ExpectPacket();
}

void UpdateMode::ShowVerdict() {
  const bool working = winapi::CurrentClock().TickCount() - blockTakenAt_ < settings_.busyMsPerBlock;
  if (AtBlock(faults_.busyForeverAtBlock) || busyAnswersLeft_ > 0 || working) {
    if (busyAnswersLeft_ > 0) --busyAnswersLeft_;
    verdict_ = kBusy;
  } else {
    verdict_ = blockFailed_ ? kFailure : kDone;
  }
  log_.lastVerdictAt = accesses_;
  Show(Phase::Verdict, WirePoint::UpdateCycle, verdict_);
}

void UpdateMode::AfterVerdict() {
  if (verdict_ != kBusy) {
    phase_ = Phase::Release;
    releaseShown_ = false;
    return;
  }
  phase_ = Phase::Busy;
  busyReadsLeft_ = settings_.busyReads;
  if (busyReadsLeft_ == 0) Show(Phase::CycleReady, WirePoint::UpdateCycle, kCycleReady);
}

void UpdateMode::Released() {
  ++log_.releases;
  if (verdict_ == kDone) {
    SendBlockResult();
  } else {
    EnterIdle();
  }
}

void UpdateMode::OnPacket(const qzlink::LinkPacket& packet) {
  const uint8_t code = packet[0];
  if (identityAnswered_ && (code == qzlink::kAcknowledgeCode || code == kNegativeAcknowledge)) {
    log_.acknowledges.push_back(code);
    EnterIdle();
  } else if (code == kReadDeviceInfo) {
    ++log_.identities;
    Reply(Sending::Identity, IdentityPayload());
  } else if (code == kProgramBlock || code == kVerifyBlock) {
    blockFailed_ = !TakeBlock(packet) || AtBlock(faults_.failBlock);
    busyAnswersLeft_ = settings_.busyCycles;
    blockTakenAt_ = winapi::CurrentClock().TickCount();
    char request[8];
    std::snprintf(request, sizeof request, "90%02X", static_cast<unsigned>(settings_.limitSeconds & 0xFF));
    Reply(Sending::WaitRequest, Text(request));
  } else if (code == qzlink::kAcknowledgeCode) {
    EndRun();
  }
}

void UpdateMode::Reply(Sending kind, std::vector<uint8_t> payload) {
  sending_ = kind;
  wire_.QueueReply(qzlink::kAcknowledgeCode, payload);
}

void UpdateMode::OnSent(const qzlink::LinkPacket&) {
  if (sending_ == Sending::Identity) identityAnswered_ = true;
  if (sending_ == Sending::WaitRequest) Show(Phase::CycleReady, WirePoint::UpdateCycle, kCycleReady);
  sending_ = Sending::Nothing;
}

// A program block: flag, "FF", the length as four hex digits, the data (L = length + 11). A
// verify block: flag, "FF", "32", the length, the data and one 0x00 (L = length + 14). The flag
// is "+" but for the last block, which has "-".
bool UpdateMode::TakeBlock(const qzlink::LinkPacket& packet) {
  const bool program = packet[0] == kProgramBlock;
  const std::span<const uint8_t> payload = qzlink::PacketPayload(packet);
  const std::vector<uint8_t> texts = Text(program ? "FF" : "FF32");
  const size_t dataAt = 1 + texts.size() + 4;
  const Run run = program ? Run::Program : Run::Verify;
  bool good = payload.size() > dataAt && block_ < kUpdateBlocks && (run_ == Run::None || run_ == run) &&
              payload[0] == (block_ + 1 == kUpdateBlocks ? '-' : '+') &&
              std::equal(texts.begin(), texts.end(), payload.begin() + 1);
  const uint32_t length = good ? qzlink::ReadHexField(&payload[1 + texts.size()]) : 0;
  good = good && length == kUpdateBlockSize && qzlink::LengthField(packet) == length + (program ? 11 : 14) &&
         (program || payload[dataAt + length] == 0x00);
  if (!good) {
    ++log_.rejected;
    return false;
  }
  run_ = run;
  const auto data = payload.subspan(dataAt, length);
  const auto at = static_cast<std::ptrdiff_t>(block_) * kUpdateBlockSize;
  if (program) {
    ++log_.staged;
    ++stagedBlocks_;
    std::copy(data.begin(), data.end(), staged_.begin() + at);
  } else {
    ++log_.compared;
    blockMismatch_ = !std::equal(data.begin(), data.end(), flash_.begin() + at);
    if (blockMismatch_) ++log_.mismatches;
  }
  return true;
}

void UpdateMode::SendBlockResult() {
  char status = '+';
  if (AtBlock(faults_.errorBlock) || (run_ == Run::Verify && blockMismatch_)) status = '?';
  else if (AtBlock(faults_.finishAtBlock)) status = '-';
  std::vector<uint8_t> result{static_cast<uint8_t>(status)};
  result.insert(result.end(), settings_.endStatus.begin(), settings_.endStatus.end());
  ++block_;
  blockMismatch_ = false;
  phase_ = Phase::Frames;
  sending_ = Sending::BlockResult;
  wire_.SendNow(qzlink::kAcknowledgeCode, result);
}

void UpdateMode::EndRun() {
  if (run_ == Run::Program && stagedBlocks_ == kUpdateBlocks) {
    flash_ = staged_;
    if (faults_.damageOnCommit) flash_[*faults_.damageOnCommit % kSystemImageSize] ^= 0xFF;
    ++log_.commits;
    commitReadsLeft_ = faults_.busyReadsAfterCommit.value_or(0);
  }
  EnterIdle();
}

std::vector<uint8_t> UpdateMode::IdentityPayload() const {
  std::vector<uint8_t> payload = Text("00");
  const std::string tag = ImageFormatTag(flash_);
  const std::string model = ImageModel(flash_);
  payload.insert(payload.end(), tag.begin(), tag.end());
  payload.resize(2 + kFormatIdLength, 0);
  payload.insert(payload.end(), model.begin(), model.end());
  payload.resize(2 + kFormatIdLength + kModelFieldLength, 0);
  return payload;
}

}  // namespace programmer
