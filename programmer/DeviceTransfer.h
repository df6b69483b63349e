#pragma once
// The device's side of one buffer transfer with the PC. The firmware offers its command; once
// that went out, every packet the PC sends is checked against what the dialogue expects next
// and answered with the device's next frame: data blocks after the PC's ready and each of its
// acknowledges (0xA2, 0xA5), a reply after each block of the PC's data (0xA3, 0xA6), until the
// PC's last acknowledge. Anything else breaks the transfer off.
#include <cstdint>
#include <span>
#include <vector>

#include "link/LinkPacket.h"
#include "programmer/DeviceLink.h"

namespace programmer {

inline constexpr uint8_t kReadAllCommand = 0xA2;
inline constexpr uint8_t kProgramAllCommand = 0xA3;
inline constexpr uint8_t kReadSegmentCommand = 0xA5;
inline constexpr uint8_t kProgramSegmentCommand = 0xA6;

class DeviceTransfer {
 public:
  enum class State { Offered, Going, Done, Broken };

  // To the PC: all of `data` in blocks of `block` bytes (0xA2), or `data` as the segment
  // at `address` (0xA5).
  static DeviceTransfer ReadAll(std::vector<uint8_t> data, uint32_t block);
  static DeviceTransfer ReadSegment(uint32_t address, std::vector<uint8_t> data);
  // From the PC: `total` bytes in blocks of `block` (0xA3), or `length` bytes from `address`
  // (0xA6).
  static DeviceTransfer ProgramAll(uint32_t total, uint32_t block);
  static DeviceTransfer ProgramSegment(uint32_t address, uint32_t length);

  uint8_t code() const { return code_; }
  std::vector<uint8_t> CommandPayload() const;
  State state() const { return state_; }
  // Where the data lie in the PC's buffer.
  uint32_t address() const { return address_; }
  // What the PC sent so far, from address() on (program transfers).
  const std::vector<uint8_t>& received() const { return data_; }

  void OnCommandSent() { state_ = State::Going; }
  // A packet from the PC while the transfer goes on; the device's next frame is queued on
  // `wire` as its reply.
  void OnPacket(const qzlink::LinkPacket& packet, DeviceLink& wire);

 private:
  DeviceTransfer(uint8_t code, uint32_t address, uint32_t total, uint32_t block, std::vector<uint8_t> data);

  bool ToPc() const { return code_ == kReadAllCommand || code_ == kReadSegmentCommand; }
  uint32_t Blocks() const;
  uint32_t BlockLength(uint32_t index) const;
  void OnPacketToPc(uint8_t code, std::span<const uint8_t> payload, DeviceLink& wire);
  void OnPacketFromPc(uint8_t code, std::span<const uint8_t> payload, DeviceLink& wire);
  void SendBlock(DeviceLink& wire);

  uint8_t code_;
  uint32_t address_;
  uint32_t total_;
  uint32_t block_;
  std::vector<uint8_t> data_;
  State state_ = State::Offered;
  // Blocks acknowledged by the PC (to the PC) or taken from it so far.
  uint32_t blocksDone_ = 0;
  bool readySeen_ = false;
};

}  // namespace programmer
