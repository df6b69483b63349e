#include "programmer/DeviceTransfer.h"

#include <algorithm>

namespace programmer {

namespace {

// The first payload byte of the device's data blocks; the PC does not look at it.
constexpr uint8_t kBlockMarker = '#';
constexpr uint8_t kPlus = '+';

void AppendLittleEndian(std::vector<uint8_t>& bytes, uint32_t value, int count) {
  for (int i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

DeviceTransfer::DeviceTransfer(uint8_t code, uint32_t address, uint32_t total, uint32_t block,
                               std::vector<uint8_t> data)
    : code_(code), address_(address), total_(total), block_(block), data_(std::move(data)) {}

DeviceTransfer DeviceTransfer::ReadAll(std::vector<uint8_t> data, uint32_t block) {
  const auto total = static_cast<uint32_t>(data.size());
  return DeviceTransfer(kReadAllCommand, 0, total, block, std::move(data));
}

DeviceTransfer DeviceTransfer::ReadSegment(uint32_t address, std::vector<uint8_t> data) {
  const auto length = static_cast<uint32_t>(data.size());
  return DeviceTransfer(kReadSegmentCommand, address, length, length, std::move(data));
}

DeviceTransfer DeviceTransfer::ProgramAll(uint32_t total, uint32_t block) {
  return DeviceTransfer(kProgramAllCommand, 0, total, block, {});
}

DeviceTransfer DeviceTransfer::ProgramSegment(uint32_t address, uint32_t length) {
  return DeviceTransfer(kProgramSegmentCommand, address, length, length, {});
}

std::vector<uint8_t> DeviceTransfer::CommandPayload() const {
  std::vector<uint8_t> payload;
  if (code_ == kReadAllCommand || code_ == kProgramAllCommand) {
    AppendLittleEndian(payload, total_, 3);
    AppendLittleEndian(payload, block_, 3);
  } else {
    AppendLittleEndian(payload, address_, 3);
    AppendLittleEndian(payload, total_, 2);
  }
  return payload;
}

uint32_t DeviceTransfer::Blocks() const {
  // A segment is one packet, an empty one too.
  if (code_ == kReadSegmentCommand || code_ == kProgramSegmentCommand) return 1;
  if (block_ == 0) return 0;
  return total_ / block_ + (total_ % block_ != 0 ? 1 : 0);
}

uint32_t DeviceTransfer::BlockLength(uint32_t index) const {
  const uint32_t start = index * block_;
  return std::min(block_, total_ - std::min(start, total_));
}

void DeviceTransfer::OnPacket(const qzlink::LinkPacket& packet, DeviceLink& wire) {
  if (state_ != State::Going) return;
  if (ToPc()) {
    OnPacketToPc(packet[0], qzlink::PacketPayload(packet), wire);
  } else {
    OnPacketFromPc(packet[0], qzlink::PacketPayload(packet), wire);
  }
}

void DeviceTransfer::OnPacketToPc(uint8_t code, std::span<const uint8_t> payload, DeviceLink& wire) {
  // The ready comes first, then an acknowledge ('+', 0) for each block.
  const bool ready = code == qzlink::kReadyCode && payload.empty();
  const bool acknowledge = code == qzlink::kAcknowledgeCode && payload.size() == 2 && payload[0] == kPlus;
  if (!(ready && !readySeen_) && !(acknowledge && readySeen_)) {
    state_ = State::Broken;
    return;
  }
  if (acknowledge) ++blocksDone_;
  readySeen_ = true;
  if (blocksDone_ == Blocks()) {
    state_ = State::Done;
  } else {
    SendBlock(wire);
  }
}

void DeviceTransfer::SendBlock(DeviceLink& wire) {
  const uint32_t start = blocksDone_ * block_;
  std::vector<uint8_t> payload{kBlockMarker};
  payload.insert(payload.end(), data_.begin() + start, data_.begin() + start + BlockLength(blocksDone_));
  wire.QueueReply(code_, payload);
}

void DeviceTransfer::OnPacketFromPc(uint8_t code, std::span<const uint8_t> payload, DeviceLink& wire) {
  if (blocksDone_ == Blocks()) {
    // Only the PC's closing acknowledge may follow.
    state_ = code == qzlink::kAcknowledgeCode && payload.empty() ? State::Done : State::Broken;
    return;
  }
  // Every block of the PC's is full, the last one too.
  if (code != qzlink::kReadyCode || payload.size() != size_t{block_} + 1 || payload[0] != kPlus) {
    state_ = State::Broken;
    return;
  }
  const uint32_t length = BlockLength(blocksDone_);
  data_.insert(data_.end(), payload.begin() + 1, payload.begin() + 1 + length);
  ++blocksDone_;
  wire.QueueReply(code_, std::vector<uint8_t>{kPlus});
}

}  // namespace programmer
