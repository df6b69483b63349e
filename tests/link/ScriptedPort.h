#pragma once
// A port device that answers status reads from a script of (status, number of reads) runs and
// records every write, for checking the PC side of the handshakes read by read.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "link/LinkLog.h"
#include "platform/portio/PortDevice.h"
#include "platform/portio/PortDriver.h"
#include "platform/portio/VirtualPortBackend.h"

namespace linktest {

inline constexpr uint32_t kBase = 0x378;

struct PortWrite {
  portio::LptRegister reg;
  uint8_t value;
  bool operator==(const PortWrite&) const = default;
};

inline PortWrite Data(uint8_t value) { return {portio::LptRegister::Data, value}; }
inline PortWrite Control(uint8_t value) { return {portio::LptRegister::Control, value}; }

class ScriptedPort : public portio::PortDevice {
 public:
  // Shows `status` for the next `reads` status reads.
  ScriptedPort& Show(uint8_t status, uint64_t reads = 1) {
    script_.push_back({status, reads});
    return *this;
  }

  // A device answering at once, with junk in the bits the PC masks off.
  ScriptedPort& PollAnswers(uint8_t step4) {
    return Show(0x80 | 0x05).Show(0xE0 | 0x02).Show(0x18 | 0x07).Show(step4).Show(0x10 | 0x0D);
  }
  // The device half of a byte-pair send of `count` bytes.
  ScriptedPort& TakesPairs(uint32_t count) {
    Show(0xD8 | 0x03);
    for (uint32_t j = 0; j < count; j += 2) Show(0x28 | 0x06).Show(0xD8 | 0x01);
    return Show(0x28 | 0x04).Show(0x30 | 0x07);
  }
  // The device half of a nibble receive of `bytes`.
  ScriptedPort& GivesBytes(const std::vector<uint8_t>& bytes) {
    Show(0x60 | 0x02);
    for (uint8_t byte : bytes) {
      Show(NibbleStatus(byte & 0xF0)).Show(0x20 | 0x05).Show(NibbleStatus(byte << 4)).Show(0xD0 | 0x06);
    }
    return Show(0x78 | 0x01);
  }

  static uint8_t NibbleStatus(int nibble) { return static_cast<uint8_t>(((nibble ^ 0x80) & 0xF0) | 0x08 | 0x03); }

  uint8_t Read(portio::LptRegister reg) override {
    if (reg != portio::LptRegister::Status) return 0;
    ++statusReads;
    while (!script_.empty() && script_.front().reads == 0) script_.pop_front();
    if (script_.empty()) return afterScript;
    --script_.front().reads;
    return script_.front().status;
  }
  void Write(portio::LptRegister reg, uint8_t value) override { writes.push_back({reg, value}); }

  std::vector<uint8_t> DataWrites() const {
    std::vector<uint8_t> values;
    for (const PortWrite& w : writes) {
      if (w.reg == portio::LptRegister::Data) values.push_back(w.value);
    }
    return values;
  }
  size_t ControlWriteCount() const { return writes.size() - DataWrites().size(); }
  bool ScriptDone() const {
    for (const auto& run : script_) {
      if (run.reads != 0) return false;
    }
    return true;
  }

  std::vector<PortWrite> writes;
  uint64_t statusReads = 0;
  // Read once the script is used up: a status no wait looks for.
  uint8_t afterScript = 0x07;

 private:
  struct Run {
    uint8_t status;
    uint64_t reads;
  };
  std::deque<Run> script_;
};

// Puts a scripted port at kBase behind the driver and records the link's log texts.
class ScriptedPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto device = std::make_unique<ScriptedPort>();
    port = device.get();
    portio::OpenVirtualPort(std::move(device), kBase);
    qzlink::SetLinkErrorSink([this](const std::string& text) { log.push_back(text); });
  }
  void TearDown() override {
    qzlink::SetLinkErrorSink({});
    portio::CloseVirtualPort();
  }

  ScriptedPort* port = nullptr;
  std::vector<std::string> log;
};

}  // namespace linktest
