#pragma once
// The PC side of the link talking to the virtual programmer on a virtual port.
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "link/Io_1.h"
#include "link/LinkLog.h"
#include "link/LinkPacket.h"
#include "link/Transaction.h"
#include "platform/portio/PortDriver.h"
#include "platform/portio/VirtualPortBackend.h"
#include "programmer/VirtualProgrammer.h"
#include "tests/link/RecordingHandlers.h"

namespace programmertest {

inline constexpr uint32_t kBase = 0x378;

class RecordingListener : public programmer::WireListener {
 public:
  void OnPoll(uint8_t code) override {
    pollCodes.push_back(code);
    if (onPoll) onPoll(code);
  }
  void OnPacket(const qzlink::LinkPacket& packet) override {
    received.push_back(packet);
    if (onPacket) onPacket(packet);
  }
  void OnSent(const qzlink::LinkPacket& packet) override { sent.push_back(packet); }

  std::vector<uint8_t> pollCodes;
  std::vector<qzlink::LinkPacket> received;
  std::vector<qzlink::LinkPacket> sent;
  std::function<void(uint8_t)> onPoll;
  std::function<void(const qzlink::LinkPacket&)> onPacket;
};

class WireTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto device = std::make_unique<programmer::VirtualProgrammer>();
    programmer_ = device.get();
    port_ = portio::OpenVirtualPort(std::move(device), kBase);
    wire().SetListener(&listener);
    qzlink::SetLinkErrorSink([this](const std::string& text) { log.push_back(text); });
  }
  void TearDown() override {
    qzlink::SetLinkErrorSink({});
    portio::CloseVirtualPort();
  }

  programmer::DeviceLink& wire() { return programmer_->wire(); }
  uint64_t PortAccesses() const { return port_->accesses(); }

  // One link tick as the console runs it: the poll, and a transaction when it says so.
  // Returns the transaction's result, or -1 when the poll did not answer 2.
  int Tick(uint8_t pollCode = qzlink::kPollCode) {
    lastPoll = qzlink::PollDevice(kBase, pollCode);
    if (lastPoll != qzlink::kPollHasCommand) return -1;
    return qzlink::ABCProcessOne(*qzlink::BuildPacket(qzlink::kRequestCode, {}, 4), kBase, handlers);
  }

  // Opens a transaction by hand and takes the command, leaving the device waiting for the PC.
  qzlink::LinkPacket OpenTransaction() {
    wire().QueueCommand(0xA3, std::vector<uint8_t>{0, 1, 0, 0, 1, 0});
    EXPECT_EQ(qzlink::PollDevice(kBase, qzlink::kPollCode), qzlink::kPollHasCommand);
    EXPECT_EQ(qzlink::SendPacket(*qzlink::BuildPacket(qzlink::kRequestCode, {}, 4), kBase), 1);
    qzlink::LinkPacket command;
    EXPECT_EQ(qzlink::PcGetQz710Data(kBase, command), qzlink::kReceived);
    return command;
  }

  std::vector<uint8_t> RandomBytes(size_t count) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<uint8_t> bytes(count);
    for (auto& b : bytes) b = static_cast<uint8_t>(byte(random));
    return bytes;
  }

  RecordingListener listener;
  linktest::RecordingHandlers handlers;
  std::vector<std::string> log;
  std::mt19937 random{20240611};
  int lastPoll = -1;

 private:
  programmer::VirtualProgrammer* programmer_ = nullptr;
  portio::VirtualPortBackend* port_ = nullptr;
};

}  // namespace programmertest
