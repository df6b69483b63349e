#include "bench/faultrun/ConsoleRounds.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/ProtocolMinimum.h"
#include "bench/faultrun/Bounds.h"
#include "console/core/BufferTransfer.h"
#include "console/core/CommandPayloads.h"
#include "link/Io_1.h"
#include "link/Transaction.h"

namespace faultrun {

namespace {

using bench::PacketGetAccesses;
using bench::PacketSendAccesses;
using programmer::DeviceTransfer;
using programmer::WirePoint;

constexpr uint32_t kBase = 0x378;
// A call past this many accesses is stopped: far more than any one fault can cost, far less
// than a loop that never ends.
constexpr uint64_t kCallCap = 100'000'000;
// A clean poll: six writes of data and control, five reads.
constexpr uint64_t kCleanPoll = 17;

constexpr WirePoint kConsolePoints[] = {
    WirePoint::PollStep1,   WirePoint::PollStep2,   WirePoint::PollStep3,    WirePoint::PollStep4,
    WirePoint::PollStep5,   WirePoint::ReceiveOpen, WirePoint::ReceivePair,  WirePoint::ReceiveClose,
    WirePoint::SendOpen,    WirePoint::SendNibble,  WirePoint::SendClose};
// The read counts at which the console's waits give up: the poll's, and the handshakes' (an
// uncounted read, 100,000 re-reads and the one past them).
constexpr uint32_t kConsoleEdges[] = {30000, 300000, 100000, 100001, 100002};
constexpr WireSide kConsoleSide{kConsolePoints, kConsoleEdges};

uint32_t Blocks(uint32_t total, uint32_t block) { return total / block + (total % block != 0 ? 1 : 0); }

std::vector<uint8_t> LittleEndian(std::initializer_list<std::pair<uint32_t, int>> fields) {
  std::vector<uint8_t> bytes;
  for (const auto& [value, count] : fields)
    for (int i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  return bytes;
}

std::vector<uint8_t> Contents(buffer::DataBuffer& data) {
  const buffer::BufferLock lock(data);
  return {lock.data(), lock.data() + std::max(lock.size(), 0)};
}

// Whether `packet` is the command frame offered, or (when the device cut it short) a
// well-formed frame with the first bytes of its payload.
bool IsOfferedFrame(const qzlink::LinkPacket& packet, uint8_t code, const std::vector<uint8_t>& payload) {
  if (packet.size() < qzlink::kPacketPrefix + qzlink::kCrcDigits || packet[0] != code) return false;
  if (!qzlink::CrcFieldMatches(packet, qzlink::kConsoleFrames)) return false;
  const std::span<const uint8_t> carried = qzlink::PacketPayload(packet);
  return packet.size() == qzlink::LengthField(packet) + qzlink::kPacketPrefix && carried.size() <= payload.size() &&
         std::equal(carried.begin(), carried.end(), payload.begin());
}

// Two frames that carry the same: code, length and payload (hex digits of either case).
bool SameContent(const qzlink::LinkPacket& a, const qzlink::LinkPacket& b) {
  if (a.size() < qzlink::kPacketPrefix || b.size() < qzlink::kPacketPrefix) return a == b;
  const std::span<const uint8_t> pa = qzlink::PacketPayload(a);
  const std::span<const uint8_t> pb = qzlink::PacketPayload(b);
  return a[0] == b[0] && qzlink::LengthField(a) == qzlink::LengthField(b) && std::ranges::equal(pa, pb);
}

// A packet's bytes as hex digits, for the report of a damaged one.
std::string Hex(const qzlink::LinkPacket& packet) {
  std::string text;
  char two[4];
  for (uint8_t b : packet) {
    std::snprintf(two, sizeof two, "%02X", b);
    text += two;
  }
  return text;
}

}  // namespace

void OfferingDevice::Offer(uint8_t code, const std::vector<uint8_t>& payload,
                           std::optional<DeviceTransfer> fresh) {
  transfer = std::move(fresh);
  acknowledges.clear();
  packetsTaken = 0;
  if (wire_.QueuedCommands() == 0) wire_.QueueCommand(code, payload);
}

void OfferingDevice::OnSent(const qzlink::LinkPacket& packet) {
  if (transfer && transfer->state() == DeviceTransfer::State::Offered && packet[0] == transfer->code())
    transfer->OnCommandSent();
}

void OfferingDevice::OnPacket(const qzlink::LinkPacket& packet) {
  if (packet[0] == qzlink::kRequestCode) return;
  ++packetsTaken;
  if (transfer) {
    transfer->OnPacket(packet, wire_);
  } else {
    acknowledges.push_back(packet);
  }
}

bool CoreHandlers::Send(std::span<const uint8_t> payload) {
  const auto length = static_cast<uint32_t>(payload.size()) + 4;
  sent.push_back(*qzlink::BuildPacket(qzlink::kAcknowledgeCode, payload, length));
  return qzlink::SendNewPacket(qzlink::kAcknowledgeCode, payload, length, state_.LptBase) == 1;
}

void CoreHandlers::Acknowledge(qzlink::LinkPacket packet) {
  handed = std::move(packet);
  acknowledged = Send({});
}

void CoreHandlers::GetKeyCodeCommand() {
  handed = qzlink::LinkPacket{};
  const std::array<uint8_t, 2> reply = console::PrepareKeyReply(state_);
  acknowledged = Send(reply);
  if (acknowledged) console::KeyReplySent(state_);
}

void CoreHandlers::QZSendReadDataCommand(qzlink::LinkPacket p) {
  handed = p;
  console::ServeReadAll(qzlink::PacketPayload(p), state_, site_);
}

void CoreHandlers::QZGetProgramDataCommand(qzlink::LinkPacket p) {
  handed = p;
  console::ServeProgramAll(qzlink::PacketPayload(p), state_, site_);
}

void CoreHandlers::QZSendReadDataSegmentCommand(qzlink::LinkPacket p) {
  handed = p;
  console::ServeReadSegment(qzlink::PacketPayload(p), state_, site_);
}

void CoreHandlers::QZGetProgramDataSegmentCommand(qzlink::LinkPacket p) {
  handed = p;
  console::ServeProgramSegment(qzlink::PacketPayload(p), state_, site_);
}

ConsoleRounds::ConsoleRounds(Cable& cable, Tally& tally, std::mt19937_64& random)
    : cable_(cable), tally_(tally), random_(random), plan_(cable, random) {
  state_.LptBase = kBase;
}

std::vector<uint8_t> ConsoleRounds::Bytes(size_t count) {
  std::vector<uint8_t> bytes(count);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random_());
  return bytes;
}

ConsoleRounds::Transaction ConsoleRounds::Pick() {
  Transaction t;
  t.kind = static_cast<Kind>(Below(11));
  switch (t.kind) {
    case Kind::Idle: break;
    case Kind::Lcd:
    case Kind::Menu:
    case Kind::Result:
      t.code = t.kind == Kind::Lcd ? 0xA0 : t.kind == Kind::Menu ? 0xA4 : 0xA7;
      t.payload = Bytes(t.kind == Kind::Lcd ? 81 : t.kind == Kind::Menu ? 21 + 20 * (1 + Below(8)) : 2);
      break;
    case Kind::KeyRequest:
      t.code = 0xA1;
      state_.PendingKey = static_cast<int32_t>(Below(2) == 0 ? 0 : 0x10 + Below(0x14));
      state_.MenuSelection = static_cast<int32_t>(Below(2) == 0 ? 0xFF : Below(8));
      break;
    case Kind::ReadAll:
    case Kind::ProgramAll:
      t.code = t.kind == Kind::ReadAll ? programmer::kReadAllCommand : programmer::kProgramAllCommand;
      t.length = 1 + Below(0x4000);
      t.block = 0x40 + Below(0x1000);
      if (t.kind == Kind::ReadAll) t.chip = Bytes(t.length);
      t.payload = LittleEndian({{t.length, 3}, {t.block, 3}});
      break;
    case Kind::ReadSegment:
    case Kind::ProgramSegment:
    case Kind::Verify:
      t.code = t.kind == Kind::ReadSegment ? programmer::kReadSegmentCommand : programmer::kProgramSegmentCommand;
      // A verify reads the buffer back from its start, as the programmer's VERIFY does.
      t.address = t.kind == Kind::Verify ? 0 : Below(0x5000);
      t.length = t.kind == Kind::Verify ? static_cast<uint32_t>(site_.data.BufSize()) : Below(0x1000);
      if (t.kind == Kind::ReadSegment) t.chip = Bytes(t.length);
      t.payload = LittleEndian({{t.address, 3}, {t.length, 2}});
      break;
    case Kind::Refused: {
      static const std::vector<std::pair<uint8_t, std::vector<uint8_t>>> kRefused = {
          {0xA2, {0x00, 0x10, 0x00, 0x00, 0x00, 0x00}}, {0xA3, {0x00, 0x10, 0x00, 0x00, 0x00, 0x00}},
          {0xA5, {0x00, 0x00, 0x00, 0xFB, 0xFF}},       {0xA6, {0x00, 0x00, 0x00, 0xFF, 0xFF}},
          {0xA2, {0x00, 0x10, 0x00, 0x00, 0x04}},       {0xA6, {0x00, 0x00, 0x00, 0x10}}};
      const auto& [code, payload] = kRefused[Below(static_cast<uint32_t>(kRefused.size()))];
      t.code = code;
      t.payload = payload;
      break;
    }
  }
  Cost(t);
  return t;
}

// The accesses of the transaction when nothing goes wrong, and its bound: the poll, the
// request and the command, then the handler's packets.
void ConsoleRounds::Cost(Transaction& t) {
  uint64_t clean = t.kind == Kind::Idle ? 0 : PacketSendAccesses(4) + PacketGetAccesses(t.payload.size() + 4);
  // Lines that misread can make any poll say the programmer has a command.
  uint64_t bound = PacketSendBound(4) + PacketGetBound();
  switch (t.kind) {
    case Kind::Idle:
    case Kind::Refused: break;
    case Kind::Lcd:
    case Kind::Menu:
    case Kind::Result:
    case Kind::KeyRequest: {
      const uint32_t length = t.kind == Kind::KeyRequest ? 6 : 4;
      clean += PacketSendAccesses(length);
      bound += PacketSendBound(length);
      break;
    }
    case Kind::ReadAll:
      clean += PacketSendAccesses(4);
      bound += PacketSendBound(4);
      for (uint32_t offset = 0; offset < t.length; offset += t.block) {
        clean += PacketGetAccesses(std::min(t.block, t.length - offset) + 5) + PacketSendAccesses(6);
        bound += PacketGetBound() + PacketSendBound(6);
      }
      break;
    case Kind::ReadSegment:
      clean += PacketSendAccesses(4) + PacketGetAccesses(t.length + 5) + PacketSendAccesses(6);
      bound += PacketSendBound(4) + PacketGetBound() + PacketSendBound(6);
      break;
    case Kind::ProgramAll: {
      const uint32_t blocks = Blocks(t.length, t.block);
      clean += blocks * (PacketSendAccesses(t.block + 5) + PacketGetAccesses(5)) + PacketSendAccesses(4);
      bound += blocks * (PacketSendBound(t.block + 5) + PacketGetBound()) + PacketSendBound(4);
      break;
    }
    case Kind::ProgramSegment:
    case Kind::Verify:
      clean += PacketSendAccesses(t.length + 5) + PacketGetAccesses(5) + PacketSendAccesses(4);
      bound += PacketSendBound(t.length + 5) + PacketGetBound() + PacketSendBound(4);
      break;
  }
  t.cleanAccesses = kCleanPoll + clean;
  t.bound = bound;
}

std::optional<DeviceTransfer> ConsoleRounds::DeviceSide(const Transaction& t) const {
  switch (t.kind) {
    case Kind::ReadAll: return DeviceTransfer::ReadAll(t.chip, t.block);
    case Kind::ReadSegment: return DeviceTransfer::ReadSegment(t.address, t.chip);
    case Kind::ProgramAll: return DeviceTransfer::ProgramAll(t.length, t.block);
    case Kind::ProgramSegment:
    case Kind::Verify: return DeviceTransfer::ProgramSegment(t.address, t.length);
    default: return std::nullopt;
  }
}

void ConsoleRounds::Measure(const char* call, uint64_t bound, uint64_t waitBound) {
  const CallFigures figures = cable_.EndCall();
  CallStat& stat = tally_.calls[std::string("console ") + call];
  ++stat.calls;
  if (figures.accesses > stat.maxAccesses) {
    stat.maxAccesses = figures.accesses;
    stat.boundAtMax = bound;
  }
  stat.maxWait = std::max(stat.maxWait, figures.longestWait);
  stat.waitBound = waitBound;
  if (figures.accesses > bound || figures.longestWait > waitBound)
    tally_.Problem(tally_.overruns, std::string(call) + ": " + std::to_string(figures.accesses) + " accesses, wait of " +
                                        std::to_string(figures.longestWait));
}

ConsoleRounds::Outcome ConsoleRounds::Run(const Transaction& t, std::optional<FaultKind> fault) {
  ++tally_.transactions;
  site_.log.clear();
  site_.refreshes = 0;
  site_.gauge.clear();
  site_.captions.clear();
  site_.resizes.clear();
  handlers_.handed.reset();
  handlers_.acknowledged = false;
  if (t.kind != Kind::Idle) programmer_->device.Offer(t.code, t.payload, DeviceSide(t));
  const std::vector<uint8_t> before = Contents(site_.data);
  const int32_t sizeBefore = site_.data.BufSize();
  if (fault) plan_.Plan(*fault, programmer_->wire.faults(), kConsoleSide, t.cleanAccesses);
  faultName_ = fault ? FaultName(*fault) : "clean";

  int poll = qzlink::kPollNoAnswer;
  try {
    cable_.BeginCall(std::min(kPollBound, kCallCap));
    poll = qzlink::PollDevice(kBase, qzlink::kPollCode);
    Measure("PollDevice", kPollBound, kPollWaitReads);
    if (poll == qzlink::kPollHasCommand) {
      cable_.BeginCall(std::min(t.bound, kCallCap));
      qzlink::ABCProcessOne(*qzlink::BuildPacket(qzlink::kRequestCode, {}, 4), kBase, handlers_);
      Measure("ABCProcessOne", t.bound, kHandshakeWaitReads);
    }
  } catch (const CallOverrun&) {
    tally_.Problem(tally_.overruns, "a console call was stopped after " + std::to_string(cable_.EndCall().accesses) +
                                        " accesses");
  }
  cable_.DropPlan();
  cable_.Plug();
  if (fault && plan_.Happened(programmer_->wire.faults())) ++tally_.faults[FaultName(*fault)];
  programmer_->wire.faults().Clear();
  lastPoll_ = poll;
  return Check(t, before, sizeBefore, poll);
}

// The buffer after the transaction went through: grown with the tail fill to reach the data,
// and holding what came from the programmer.
std::vector<uint8_t> ConsoleRounds::Expected(const Transaction& t, const std::vector<uint8_t>& before) const {
  std::vector<uint8_t> expected = before;
  if (!MovesData(t.kind)) return expected;
  const size_t end = size_t{t.address} + t.length;
  if (expected.size() < end) expected.resize(end, site_.tailFill);
  if (!t.chip.empty()) std::copy(t.chip.begin(), t.chip.end(), expected.begin() + t.address);
  return expected;
}

const char* ConsoleRounds::KindName(Kind kind) {
  static constexpr const char* kNames[] = {"idle poll",     "LCD 0xA0",        "menu 0xA4",         "result 0xA7",
                                           "key 0xA1",      "read all 0xA2",   "read segment 0xA5", "program all 0xA3",
                                           "program segment 0xA6", "verify 0xA6", "refused transfer"};
  return kNames[static_cast<int>(kind)];
}

bool ConsoleRounds::MovesData(Kind kind) {
  return kind == Kind::ReadAll || kind == Kind::ReadSegment || kind == Kind::ProgramAll ||
         kind == Kind::ProgramSegment || kind == Kind::Verify;
}

bool ConsoleRounds::ToPc(Kind kind) { return kind == Kind::ReadAll || kind == Kind::ReadSegment; }

// What each side made of the transaction; every command the PC took must be the one offered,
// every acknowledge the device took one the PC sent.
ConsoleRounds::Outcome ConsoleRounds::Judge(const Transaction& t, int poll, const std::string& what) {
  const std::optional<qzlink::LinkPacket>& handed = handlers_.handed;
  if (handed && t.kind != Kind::KeyRequest && !IsOfferedFrame(*handed, t.code, t.payload))
    tally_.Problem(tally_.silentCorruptions, what + ": a damaged command was taken, " + Hex(*handed));
  const OfferingDevice& device = programmer_->device;
  Outcome outcome;
  if (t.kind == Kind::Idle) {
    outcome = {poll == qzlink::kPollIdle, true};
  } else if (t.kind == Kind::Refused) {
    outcome = {handed && !site_.log.empty() && device.packetsTaken == 0, true};
  } else if (MovesData(t.kind)) {
    outcome.pcSucceeded = handed && (ToPc(t.kind) ? site_.refreshes == 1 : site_.log.empty());
    outcome.deviceCompleted = device.transfer && device.transfer->state() == DeviceTransfer::State::Done;
  } else {
    outcome = {handed && handlers_.acknowledged, !device.acknowledges.empty()};
    for (const qzlink::LinkPacket& taken : device.acknowledges) {
      const auto same = [&taken](const qzlink::LinkPacket& sent) { return SameContent(taken, sent); };
      if (std::ranges::none_of(handlers_.sent, same))
        tally_.Problem(tally_.silentCorruptions, what + ": the device took an acknowledge the PC never sent");
    }
  }
  return outcome;
}

ConsoleRounds::Outcome ConsoleRounds::Check(const Transaction& t, const std::vector<uint8_t>& before,
                                            int32_t sizeBefore, int poll) {
  const std::string what =
      "#" + std::to_string(tally_.transactions) + " console " + KindName(t.kind) + " (" + faultName_ + ")";
  const Outcome outcome = Judge(t, poll, what);
  const std::vector<uint8_t> after = Contents(site_.data);
  const std::vector<uint8_t> expected = Expected(t, before);
  if (outcome.pcSucceeded && after != expected)
    tally_.Problem(tally_.silentCorruptions, what + ": the buffer does not hold what was sent");
  if (!outcome.pcSucceeded && (after != before || site_.data.BufSize() != sizeBefore))
    tally_.Problem(tally_.bufferChangedOnFailure, what + ": a failed transfer changed the buffer");
  if (MovesData(t.kind) && !ToPc(t.kind) && outcome.deviceCompleted) {
    // What the device took must be the buffer's bytes as the programmer is sent them.
    std::vector<uint8_t> sent(expected.begin() + t.address, expected.begin() + t.address + t.length);
    for (uint8_t& b : sent) b = console::ByteForProgrammer(b, state_.JedecSendMode);
    if (programmer_->device.transfer->received() != sent)
      tally_.Problem(tally_.silentCorruptions, what + ": the device took other bytes than the buffer's");
  }
  if (!outcome.pcSucceeded) ++tally_.failuresDetected;
  if (!outcome.pcSucceeded && outcome.deviceCompleted && t.kind != Kind::Idle && t.kind != Kind::Refused)
    ++tally_.deviceTookFailed;
  if (outcome.pcSucceeded && !outcome.deviceCompleted) ++tally_.unconfirmedEnds;
  return outcome;
}

void ConsoleRounds::Round(std::optional<FaultKind> kind) {
  const uint32_t size = 0x100 + Below(0x3F00);
  site_.data.Create(size, 0xFF);
  {
    const buffer::BufferLock lock(site_.data);
    for (int32_t i = 0; i < lock.size(); ++i) lock.data()[i] = static_cast<uint8_t>(random_());
  }
  state_.JedecSendMode = Below(4) == 0 ? 1 : 0;
  handlers_.sent.clear();
  const Transaction t = Pick();
  const Outcome first = Run(t, kind);
  if (!kind && first.pcSucceeded && first.deviceCompleted) return;
  Outcome retry = Run(t, std::nullopt);
  if (!retry.pcSucceeded && lastPoll_ == qzlink::kPollNoAnswer) {
    // An idle poll ends with the very write that starts the next one: when the cable lost
    // that write, the programmer takes the next poll's start as it, and only the poll after
    // finds it again.
    ++tally_.resyncPolls;
    retry = Run(t, std::nullopt);
  }
  if (retry.pcSucceeded && retry.deviceCompleted) return;
  tally_.Problem(tally_.recoveryFailures, "#" + std::to_string(tally_.transactions) + " console " + KindName(t.kind) +
                                             " after " + (kind ? FaultName(*kind) : "none") + ": the clean retry failed");
  programmer_ = std::make_unique<Programmer>();
  Attach();
}

}  // namespace faultrun
