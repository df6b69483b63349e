#include "bench/faultrun/UpdateRounds.h"

#include <algorithm>

#include "bench/faultrun/Bounds.h"
#include "link/UpdateLink.h"
#include "programmer/SystemImage.h"
#include "update/core/UpdateCommands.h"
#include "update/core/UpdateImage.h"

namespace faultrun {

namespace {

using programmer::WirePoint;

constexpr uint64_t kCallCap = 100'000'000;
constexpr const char* kDeviceWord = "ZORV-R77";

constexpr WirePoint kUpdatePoints[] = {
    WirePoint::ReceiveOpen, WirePoint::ReceivePair,  WirePoint::ReceiveClose, WirePoint::SendOpen,
    WirePoint::SendNibble,  WirePoint::SendClose,    WirePoint::UpdateProbe,  WirePoint::UpdateCycle,
    WirePoint::UpdateRelease};
// The probe's 6,000 and 300,000 reads, the handshakes', and the update waits' 1,000,000.
constexpr uint32_t kUpdateEdges[] = {6000, 300000, 100000, 100001, 100002, 1000000};
constexpr WireSide kUpdateSide{kUpdatePoints, kUpdateEdges};

// With the clock moving 1 ms at each reading, the longest busy phase two hex digits allow
// (0xFF seconds) and the release's 3 seconds are this many readings.
constexpr uint64_t kBusyPhaseReadings = (0xFF + 1) * 1000;
constexpr uint64_t kReleaseReadings = 3000;

// The wait after one block: the first wait (a read and a control write per turn), then each
// cycle's three waits and four writes, a busy phase after every cycle but the last (a status
// read per clock reading, its own time limit), and the release. The time limit holds each
// phase alone, so the number of phases comes from the device and the Stop button.
uint64_t WaitDeviceDoneBound(uint64_t busyPhases) {
  const uint64_t cycle = 3 * kUpdateWaitReads + 4;
  const uint64_t busyPhase = kBusyPhaseReadings + 1;
  const uint64_t release = 1 + 1 + kReleaseReadings + 1 + 2;
  return 1 + 2 * kUpdateWaitReads + (busyPhases + 1) * cycle + busyPhases * busyPhase + release + 1;
}

uint64_t BlockBound(uint64_t lengthField, uint64_t busyPhases) {
  return PacketSendBound(lengthField) + PacketGetBound() + WaitDeviceDoneBound(busyPhases) + PacketGetBound();
}

// Two scans and the verify's probe, the identity and its acknowledge, 16 blocks of each run
// with their end frames.
uint64_t UpdateRunBound(uint64_t busyPhases) {
  const uint64_t identity = PacketSendBound(4) + PacketGetBound() + PacketSendBound(4);
  const uint64_t blocks = programmer::kUpdateBlocks;
  return 3 * kProbeBound + identity + blocks * BlockBound(update::kBlockLength + 11, busyPhases) +
         blocks * BlockBound(update::kBlockLength + 14, busyPhases) + 2 * PacketSendBound(4);
}

std::vector<uint8_t> Contents(buffer::DataBuffer& data) {
  const buffer::BufferLock lock(data);
  return {lock.data(), lock.data() + std::max(lock.size(), 0)};
}

}  // namespace

UpdateRounds::UpdateRounds(Cable& cable, Tally& tally, std::mt19937_64& random)
    : cable_(cable), tally_(tally), random_(random), plan_(cable, random),
      mode_(std::make_unique<programmer::UpdateMode>()) {
  child_.Create();
  child_.ResizeBuffer(0x30000);
  surface_.child = &child_;
  qzlink::SetStopProbe([this] {
    ++looks_;
    return looks_ == stopAtLook_ ? qzlink::StopProbeResult::StopPressed : qzlink::StopProbeResult::None;
  });
  qzlink::SetOnStop([] {});
}

UpdateRounds::~UpdateRounds() {
  qzlink::SetStopProbe({});
  qzlink::SetOnStop({});
}

void UpdateRounds::Attach() { cable_.Attach(mode_.get()); }

// A status read changes nothing while the mode is idle: the probe's first step is reads alone.
bool UpdateRounds::ShowsIdle() {
  constexpr uint8_t kIdleStatus = 0x80;
  return mode_->idle() && (mode_->Read(portio::LptRegister::Status) & 0xF8) == kIdleStatus;
}

// The image in the child's buffer at 0, accepted as a load leaves it.
void UpdateRounds::Accept(const std::vector<uint8_t>& image) {
  image_ = image;
  {
    const buffer::BufferLock lock(child_.buffer());
    std::copy(image.begin(), image.end(), lock.data());
  }
  child_.fields().FileSize = update::kUpdateImageSize;
  child_.fields().LastSum = 0;
  for (uint8_t b : image) child_.fields().LastSum += b;
  update::FileLabels labels;
  update::CheckUpdateImage(child_, nullptr, labels);
}

void UpdateRounds::Arrange(Kind kind) {
  static constexpr const char* kNames[] = {
      "update",           "other model, yes", "other model, no",     "image not accepted",
      "probe refused",    "Stop",             "device fails a block", "device answers ?",
      "device finishes early", "busy for ever", "busy in quick cycles until Stop", "damaged commit"};
  arranged_ = kNames[static_cast<int>(kind)];
  const bool otherModel = kind == Kind::OtherModelYes || kind == Kind::OtherModelNo;
  const std::string model = std::string(otherModel ? "OTHER" : kDeviceWord) + " V2." + std::to_string(seed_ % 100);
  Accept(programmer::MakeSystemImage(model, seed_++));
  if (update::ModelsDiffer(model, programmer::ImageModel(mode_->flash())))
    boxes_.Answer(kind == Kind::OtherModelNo ? winapi::IDNO : winapi::IDYES);
  programmer::UpdateModeFaults& faults = mode_->faults();
  switch (kind) {
    case Kind::Update:
    case Kind::OtherModelYes:
    case Kind::OtherModelNo: break;
    case Kind::NotAccepted: child_.fields().FileFormatId.fill(0); break;
    case Kind::ProbeRefused: faults.refuseProbe = true; break;
    case Kind::Stop: stopAtLook_ = 1 + static_cast<int>(Below(40)); break;
    case Kind::DeviceFailsBlock: faults.failBlock = Below(programmer::kUpdateBlocks); break;
    case Kind::DeviceErrorBlock: faults.errorBlock = Below(programmer::kUpdateBlocks); break;
    case Kind::DeviceFinishesEarly: faults.finishAtBlock = Below(programmer::kUpdateBlocks); break;
    case Kind::BusyForever: faults.busyForeverAtBlock = Below(programmer::kUpdateBlocks); break;
    case Kind::BusyInQuickCycles:
      // Busy answer after busy answer, each followed at once by the next cycle's ready, for
      // longer in all than the time limit: only Stop ends it.
      mode_->settings().busyCycles = UINT32_MAX;
      mode_->settings().busyReads = 0;
      stopAtLook_ = 1 + static_cast<int>(Below(20000));
      break;
    case Kind::DamagedCommit: faults.damageOnCommit = Below(programmer::kSystemImageSize); break;
  }
}

// The device's busy answers for one block, and one more: a device busy for ever, or a fault
// on the status lines that shows 0x18 for another verdict. Every phase takes at least one look
// at the events, so an arranged Stop ends the phases by its look at the latest.
uint64_t UpdateRounds::BusyPhasesPerWait() const {
  const uint64_t answers = uint64_t{mode_->settings().busyCycles} + 1;
  return stopAtLook_ > 0 ? std::min<uint64_t>(answers, static_cast<uint64_t>(stopAtLook_)) : answers;
}

void UpdateRounds::Measure(uint64_t bound) {
  const CallFigures figures = cable_.EndCall();
  CallStat& stat = tally_.calls["update Menu_Update1Click"];
  ++stat.calls;
  if (figures.accesses > stat.maxAccesses) {
    stat.maxAccesses = figures.accesses;
    stat.boundAtMax = bound;
  }
  stat.maxWait = std::max(stat.maxWait, figures.longestWait);
  stat.waitBound = kUpdateWaitReads;
  if (figures.accesses > bound || figures.longestWait > kUpdateWaitReads)
    tally_.Problem(tally_.overruns, "Menu_Update1Click: " + std::to_string(figures.accesses) + " accesses, wait of " +
                                        std::to_string(figures.longestWait));
}

bool UpdateRounds::Run(std::optional<FaultKind> fault) {
  ++tally_.transactions;
  looks_ = 0;
  flashBefore_ = mode_->flash();
  bufferBefore_ = Contents(child_.buffer());
  deviceModel_.fill(0);
  if (fault) plan_.Plan(*fault, mode_->wire().faults(), kUpdateSide, cleanAccesses_);
  const uint64_t bound = UpdateRunBound(BusyPhasesPerWait());
  try {
    cable_.BeginCall(std::min(bound, kCallCap));
    run_.Menu_Update1Click();
    Measure(bound);
  } catch (const CallOverrun&) {
    tally_.Problem(tally_.overruns, "Menu_Update1Click was stopped after " +
                                        std::to_string(cable_.EndCall().accesses) + " accesses (" + arranged_ + ")");
  }
  cable_.DropPlan();
  cable_.Plug();
  if (fault && plan_.Happened(mode_->wire().faults())) ++tally_.faults[FaultName(*fault)];
  mode_->wire().faults().Clear();
  const bool passed = std::any_of(boxes_.boxes().begin(), boxes_.boxes().end(), [](const winapi::ShownBox& box) {
    return box.text == update::messages::kUpdateOk.text;
  });
  Check(passed);
  return passed;
}

void UpdateRounds::Check(bool passed) {
  const std::vector<uint8_t>& flash = mode_->flash();
  // A device that calls a block its last ends the run on its own word; whether it keeps what it
  // took is its business, and its end status is all the PC hears of it.
  if (passed && flash != image_) {
    if (mode_->faults().finishAtBlock) ++tally_.earlyEndsKeptOldImage;
    else tally_.Problem(tally_.silentCorruptions, "update passed but the flash differs");
  }
  // A device told to damage its commit leaves a flash of its own; the run must not pass then.
  if (flash != flashBefore_ && flash != image_ && !mode_->faults().damageOnCommit)
    tally_.Problem(tally_.silentCorruptions, "the flash holds neither the old image nor the new");
  if (Contents(child_.buffer()) != bufferBefore_)
    tally_.Problem(passed ? tally_.silentCorruptions : tally_.bufferChangedOnFailure, "the update changed the buffer");
  const std::string model = update::FieldText(deviceModel_);
  if (!model.empty() && model != programmer::ImageModel(flashBefore_)) ++tally_.damagedIdentities;
  if (!passed) ++tally_.failuresDetected;
}

void UpdateRounds::Round(std::optional<FaultKind> fault) {
  // Half the rounds update; the rest are the ways a run is refused or the device fails it.
  const auto kind = Below(2) == 0 ? Kind::Update : static_cast<Kind>(1 + Below(11));
  boxes_.Clear();
  Arrange(kind);
  const bool passed = Run(fault);
  if (!measured_ && passed && !fault && kind == Kind::Update) {
    cleanAccesses_ = cable_.EndCall().accesses;
    measured_ = true;
  }
  if (!fault && kind == Kind::Update && passed) return;

  mode_->faults() = {};
  mode_->settings() = {};
  stopAtLook_ = -1;
  if (!ShowsIdle()) {
    // Left inside a run's frames, or with its idle answer held back for good, the update mode
    // waits for ever; it is restarted as a user would switch it off and on, its flash kept.
    mode_ = std::make_unique<programmer::UpdateMode>(mode_->flash());
    Attach();
    ++tally_.deviceRestarts;
  }
  const std::string first = arranged_ + " with " + (fault ? FaultName(*fault) : "no fault");
  boxes_.Clear();
  Arrange(Kind::Update);
  if (Run(std::nullopt)) return;
  std::string shown;
  for (const winapi::ShownBox& box : boxes_.boxes()) shown += " [" + box.text + "]";
  tally_.Problem(tally_.recoveryFailures, "update run " + first + ": the clean retry failed:" + shown);
}

}  // namespace faultrun
