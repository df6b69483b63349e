#include "programmer/DeviceLink.h"

#include <algorithm>
#include <stdexcept>

namespace programmer {

namespace {

constexpr uint32_t kHeadFromPc = 6;

qzlink::LinkPacket Frame(uint8_t code, const std::vector<uint8_t>& payload, const FrameFaults& faults,
                         qzlink::FrameRules rules) {
  const size_t carried = std::min<size_t>(payload.size(), faults.payloadBytes.value_or(payload.size()));
  const uint32_t length = static_cast<uint32_t>(carried) + 4;
  qzlink::LinkPacket frame = *qzlink::BuildPacket(faults.code.value_or(code), payload, length, rules);
  if (faults.corruptCrc) {
    const uint32_t crc = qzlink::ReadHexField(&frame[length + 1]);
    qzlink::WriteHexField(crc ^ 0x0001, &frame[length + 1]);
  }
  if (faults.lengthField) qzlink::WriteHexField(*faults.lengthField, &frame[1]);
  return frame;
}

// The bytes of a send as the device takes them when `fault` strikes one of them.
std::vector<uint8_t> TakenWith(std::vector<uint8_t> bytes, const TakenFault& fault) {
  if (bytes.empty()) return bytes;
  const size_t at = fault.byte % bytes.size();
  if (fault.drop) {
    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at));
  } else {
    bytes[at] ^= fault.bits;
  }
  return bytes;
}

void CheckPayloadSize(std::span<const uint8_t> payload) {
  if (payload.size() > qzlink::kMaxPayload) throw std::length_error("a packet carries at most 0xFFFB payload bytes");
}

}  // namespace

DeviceLink::DeviceLink()
    : lines_(faults_),
      poll_(
          lines_, [this](uint8_t code) { if (listener_) listener_->OnPoll(code); },
          [this] { return !commands_.empty(); }),
      receiver_(lines_),
      sender_(lines_) {
  lines_.Silence();
}

uint8_t DeviceLink::Read(portio::LptRegister reg) {
  switch (reg) {
    case portio::LptRegister::Data: return data_;
    case portio::LptRegister::Control: return control_;
    case portio::LptRegister::Status: break;
  }
  return lines_.Read();
}

void DeviceLink::Write(portio::LptRegister reg, uint8_t value) {
  if (!present_) return;
  if (reg == portio::LptRegister::Data) {
    data_ = value;
    OnData(value);
  } else if (reg == portio::LptRegister::Control) {
    control_ = value;
    OnControl(value);
  }
}

void DeviceLink::SetPresent(bool present) {
  present_ = present;
  if (!present_) EnterIdle();
}

void DeviceLink::QueueCommand(uint8_t code, std::span<const uint8_t> payload) {
  CheckPayloadSize(payload);
  commands_.push_back({code, {payload.begin(), payload.end()}});
}

void DeviceLink::QueueReply(uint8_t code, std::span<const uint8_t> payload) {
  CheckPayloadSize(payload);
  replies_.push_back({code, {payload.begin(), payload.end()}});
}

void DeviceLink::SendNow(uint8_t code, std::span<const uint8_t> payload) {
  CheckPayloadSize(payload);
  StartSend({code, {payload.begin(), payload.end()}}, false);
}

void DeviceLink::OnData(uint8_t value) {
  // The PC writes only after it has seen the answer it waits for; a write before that means it
  // gave up waiting.
  if (mode_ != Mode::Idle && !lines_.AnswerSeen()) {
    Abandon();
    return;
  }
  if (mode_ == Mode::Send) {
    switch (sender_.OnData(value)) {
      case NibbleSender::Outcome::Done: OnChunkSent(); break;
      case NibbleSender::Outcome::Abandoned: Abandon(); break;
      case NibbleSender::Outcome::Going:
      case NibbleSender::Outcome::Lost: break;
    }
  } else if (mode_ == Mode::Receive) {
    if (receiver_.OnData(value) == PairReceiver::Outcome::Done) OnChunkReceived();
  }
}

void DeviceLink::OnControl(uint8_t value) {
  if (mode_ == Mode::Poll) {
    switch (poll_.OnControl(data_, value)) {
      case PollResponder::Outcome::Going: return;
      case PollResponder::Outcome::Idle: EnterIdle(); return;
      case PollResponder::Outcome::Command: StartReceive(); return;
      case PollResponder::Outcome::Lost: EnterIdle(); break;
    }
  }
  if (data_ == 0x00 && value == 0x0A) {
    StartPoll();
  } else if (mode_ == Mode::Receive) {
    receiver_.OnControl(data_, value);
  }
}

void DeviceLink::StartPoll() {
  // Whatever the last transaction left half-done is over; an unsent command stays queued.
  lines_.EndStall();
  replies_.clear();
  head_.clear();
  mode_ = Mode::Poll;
  poll_.Start();
}

void DeviceLink::Abandon() {
  ++counts_.abandoned;
  switch (mode_) {
    case Mode::Poll: EnterIdle(); break;
    case Mode::Receive: receiver_.Start(); break;
    case Mode::Send: sender_.Restart(); break;
    case Mode::Idle: break;
  }
}

void DeviceLink::EnterIdle() {
  mode_ = Mode::Idle;
  lines_.Silence();
}

void DeviceLink::StartReceive() {
  mode_ = Mode::Receive;
  head_.clear();
  receiver_.Start();
}

void DeviceLink::OnChunkReceived() {
  const std::optional<TakenFault> fault = faults_.TakeTakenFault();
  const std::vector<uint8_t> damaged = fault ? TakenWith(receiver_.bytes(), *fault) : std::vector<uint8_t>{};
  const std::vector<uint8_t>& bytes = fault ? damaged : receiver_.bytes();
  if (head_.empty()) {
    if (bytes.size() == kHeadFromPc && qzlink::ReadHexField(&bytes[1]) >= qzlink::kMinLengthField) {
      head_ = bytes;
    } else {
      ++counts_.malformed;
    }
    receiver_.Start();
    return;
  }
  const uint32_t length = qzlink::ReadHexField(&head_[1]);
  if (bytes.size() != length + (length & 1)) {
    ++counts_.malformed;
    StartReceive();
    return;
  }
  qzlink::LinkPacket packet(head_.begin(), head_.begin() + qzlink::kPacketPrefix);
  packet.insert(packet.end(), bytes.begin(), bytes.begin() + length);
  OnPacketReceived(std::move(packet));
}

void DeviceLink::OnPacketReceived(qzlink::LinkPacket packet) {
  if (!qzlink::CrcFieldMatches(packet, rules_)) {
    ++counts_.crcErrors;
    StartReceive();
    return;
  }
  ++counts_.packetsReceived;
  if (listener_) listener_->OnPacket(packet);
  if (packet[0] == qzlink::kRequestCode && !commands_.empty()) {
    StartSend(commands_.front(), true);
  } else if (!replies_.empty()) {
    const Outgoing reply = std::move(replies_.front());
    replies_.pop_front();
    StartSend(reply, false);
  } else {
    StartReceive();
  }
}

void DeviceLink::StartSend(const Outgoing& outgoing, bool isCommand) {
  std::optional<uint32_t> transferFrame;
  if (isCommand) {
    framesSinceCommand_ = 0;
  } else {
    transferFrame = framesSinceCommand_++;
  }
  FrameFaults faults = faults_.TakeFrameFaults(transferFrame);
  sending_ = Frame(outgoing.code, outgoing.payload, faults, rules_);
  // A damaged byte past the frame's end lands on a byte of it.
  if (faults.nibble) faults.nibble->frameByte %= sending_.size();
  if (faults.stall) lines_.Stall();
  sendingCommand_ = isCommand;
  sendingBody_ = false;
  std::optional<NibbleFault> headFault;
  bodyNibbleFault_.reset();
  if (faults.nibble && faults.nibble->frameByte < qzlink::kPacketPrefix) {
    headFault = faults.nibble;
  } else if (faults.nibble) {
    bodyNibbleFault_ = *faults.nibble;
    bodyNibbleFault_->frameByte -= qzlink::kPacketPrefix;
  }
  mode_ = Mode::Send;
  sender_.Start({sending_.begin(), sending_.begin() + qzlink::kPacketPrefix}, headFault);
}

void DeviceLink::OnChunkSent() {
  if (!sendingBody_) {
    sendingBody_ = true;
    sender_.Start({sending_.begin() + qzlink::kPacketPrefix, sending_.end()}, bodyNibbleFault_);
    return;
  }
  ++counts_.packetsSent;
  const qzlink::LinkPacket sent = std::move(sending_);
  if (sendingCommand_) commands_.pop_front();
  StartReceive();
  if (listener_) listener_->OnSent(sent);
}

}  // namespace programmer
