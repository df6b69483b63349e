// The update tool's link against the virtual programmer in its update mode, on the second of
// two virtual ports (nothing plugged into the first): the scan, the identity, whole program
// and verify runs, and every way a wait can end, unplugging included.
#include "programmer/UpdateMode.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/LinkPacket.h"
#include "link/UpdateLink.h"
#include "platform/portio/FloatingPort.h"
#include "platform/portio/PortDriver.h"
#include "platform/portio/VirtualPortBackend.h"
#include "tests/support/SteppingClock.h"

namespace programmertest {
namespace {

using programmer::UpdateMode;
using qzlink::StopProbeResult;

constexpr uint32_t kEmptyBase = 0x3BC;
constexpr uint32_t kProgrammerBase = 0x378;

class UpdateModeTest : public ::testing::Test {
 protected:
  void SetUp() override { Plug(std::make_unique<UpdateMode>()); }
  void TearDown() override {
    qzlink::SetStopProbe({});
    qzlink::SetOnStop({});
    qzlink::StopRequested = 0;
    portio::CloseVirtualPort();
  }

  void Plug(std::unique_ptr<portio::PortDevice> second) {
    std::vector<portio::VirtualPortBackend::Port> ports;
    ports.push_back({kEmptyBase, std::make_unique<portio::FloatingPort>()});
    device = dynamic_cast<UpdateMode*>(second.get());
    ports.push_back({kProgrammerBase, std::move(second)});
    portio::OpenVirtualPorts(std::move(ports));
    qzlink::SetStopProbe([this] {
      ++looks;
      return looks == stopAtLook ? StopProbeResult::StopPressed : StopProbeResult::None;
    });
    qzlink::SetOnStop([this] { ++formsClosed; });
  }

  uint32_t Find() {
    uint32_t base = 0;
    EXPECT_EQ(qzlink::FindDevicePort(base), 1);
    return base;
  }
  int Send(uint8_t code, const std::vector<uint8_t>& payload, uint32_t lengthField) {
    return qzlink::SendNewPacket(code, payload, lengthField, kProgrammerBase, qzlink::kUpdateFrames);
  }
  int Receive(qzlink::LinkPacket& reply) {
    return qzlink::PcGetQz710Data(kProgrammerBase, reply, qzlink::kUpdateFrames);
  }
  static std::string PayloadText(const qzlink::LinkPacket& packet) {
    const auto payload = qzlink::PacketPayload(packet);
    return std::string(payload.begin(), payload.end());
  }

  // Block j of `image` as the update tool frames it, sent, with the wait request it gets.
  std::string SendBlock(uint8_t code, uint32_t j, const std::vector<uint8_t>& image) {
    char length[8];
    std::snprintf(length, sizeof length, "%04X", static_cast<unsigned>(programmer::kUpdateBlockSize));
    std::string head(1, j + 1 == programmer::kUpdateBlocks ? '-' : '+');
    head += code == programmer::kProgramBlock ? "FF" : "FF32";
    head += length;
    std::vector<uint8_t> payload(head.begin(), head.end());
    const auto from = image.begin() + static_cast<std::ptrdiff_t>(j * programmer::kUpdateBlockSize);
    payload.insert(payload.end(), from, from + programmer::kUpdateBlockSize);
    if (code == programmer::kVerifyBlock) payload.push_back(0x00);
    EXPECT_EQ(Send(code, payload, static_cast<uint32_t>(payload.size()) + 4), 1);
    qzlink::LinkPacket request;
    EXPECT_EQ(Receive(request), qzlink::kReceived);
    return PayloadText(request);
  }
  // A whole run; the result of the first wait that does not end "done", else 1.
  int RunBlocks(uint8_t code, const std::vector<uint8_t>& image, std::vector<std::string>* results = nullptr) {
    for (uint32_t j = 0; j < programmer::kUpdateBlocks; ++j) {
      EXPECT_EQ(SendBlock(code, j, image), "900A");
      const int waited = qzlink::WaitDeviceDone(10, kProgrammerBase);
      if (waited != qzlink::kWaitDone) return waited;
      qzlink::LinkPacket result;
      EXPECT_EQ(Receive(result), qzlink::kReceived);
      if (results) results->push_back(PayloadText(result));
    }
    EXPECT_EQ(Send(qzlink::kAcknowledgeCode, {}, 4), 1);
    return qzlink::kWaitDone;
  }

  UpdateMode* device = nullptr;
  testsupport::SteppingClock clock{10};
  int looks = 0;
  int stopAtLook = -1;
  int formsClosed = 0;
};

TEST_F(UpdateModeTest, TheScanFindsTheProgrammerOnTheSecondPortWhichAnswersItsIdentity) {
  EXPECT_EQ(Find(), kProgrammerBase);
  ASSERT_EQ(Send(programmer::kReadDeviceInfo, {}, 4), 1);
  qzlink::LinkPacket reply;
  ASSERT_EQ(Receive(reply), qzlink::kReceived);
  EXPECT_EQ(reply[0], qzlink::kAcknowledgeCode);
  ASSERT_EQ(reply.size(), 5u + 30u + 4u);
  EXPECT_EQ(std::string(reply.begin() + 7, reply.begin() + 19), std::string("QZ7100\0\0\0\0\0\0", 12));
  EXPECT_EQ(std::string(reply.begin() + 19, reply.begin() + 35), std::string("ZORV-R77 V1.00\0\0", 16));
  EXPECT_TRUE(qzlink::CrcFieldMatches(reply, qzlink::kUpdateFrames));
  ASSERT_EQ(Send(programmer::kNegativeAcknowledge, {}, 4), 1);
  EXPECT_EQ(device->log().acknowledges, std::vector<uint8_t>{0xFF});
  // Idle again: the next scan finds it at once.
  EXPECT_EQ(Find(), kProgrammerBase);
  EXPECT_EQ(device->log().probes, 2u);
}

TEST_F(UpdateModeTest, AFrameWithTheConsolesCrcFieldIsNotTaken) {
  Find();
  EXPECT_EQ(qzlink::SendNewPacket(programmer::kReadDeviceInfo, {}, 4, kProgrammerBase), 1);
  EXPECT_EQ(device->wire().counts().crcErrors, 1u);
  EXPECT_EQ(device->log().identities, 0u);
}

TEST_F(UpdateModeTest, AProgramRunCommitsTheImageWhichThenVerifies) {
  device->settings().busyCycles = 2;
  const std::vector<uint8_t> image = programmer::MakeSystemImage("ZORV-R77 V2.10", 7);
  Find();
  std::vector<std::string> results;
  EXPECT_EQ(RunBlocks(programmer::kProgramBlock, image, &results), qzlink::kWaitDone);
  EXPECT_EQ(results, std::vector<std::string>(16, "+01"));
  EXPECT_EQ(device->flash(), image);
  EXPECT_EQ(device->log().commits, 1u);
  EXPECT_GT(looks, 0);

  EXPECT_EQ(qzlink::ProbeDevice(kProgrammerBase), qzlink::kProbeAnswered);
  EXPECT_EQ(RunBlocks(programmer::kVerifyBlock, image), qzlink::kWaitDone);
  EXPECT_EQ(device->log().compared, 16u);
  EXPECT_EQ(device->log().mismatches, 0u);
  EXPECT_EQ(device->log().commits, 1u);
  EXPECT_EQ(device->log().rejected, 0u);
}

TEST_F(UpdateModeTest, AVerifyOfAnotherImageFindsEveryBlockDifferent) {
  Find();
  std::vector<std::string> results;
  EXPECT_EQ(RunBlocks(programmer::kVerifyBlock, programmer::MakeSystemImage("OTHER", 3), &results), 1);
  EXPECT_EQ(results, std::vector<std::string>(16, "?01"));
}

TEST_F(UpdateModeTest, AFailureReportedInTheWaitReturnsTwoAndCommitsNothing) {
  device->faults().failBlock = 3;
  Find();
  EXPECT_EQ(RunBlocks(programmer::kProgramBlock, programmer::MakeSystemImage("NEW", 2)), qzlink::kWaitFailed);
  EXPECT_EQ(device->log().staged, 4u);
  EXPECT_EQ(device->log().releases, 4u);
  EXPECT_EQ(device->log().commits, 0u);
  EXPECT_EQ(qzlink::ProbeDevice(kProgrammerBase), qzlink::kProbeAnswered);
}

TEST_F(UpdateModeTest, AMalformedBlockIsRefusedThroughTheWait) {
  Find();
  std::vector<uint8_t> payload{'-', 'F', 'F', '0', '0', '1', '0'};
  payload.resize(payload.size() + 16, 0x55);
  ASSERT_EQ(Send(programmer::kProgramBlock, payload, static_cast<uint32_t>(payload.size()) + 4), 1);
  qzlink::LinkPacket request;
  ASSERT_EQ(Receive(request), qzlink::kReceived);
  EXPECT_EQ(qzlink::WaitDeviceDone(10, kProgrammerBase), qzlink::kWaitFailed);
  EXPECT_EQ(device->log().rejected, 1u);
}

TEST_F(UpdateModeTest, StopClosesTheFormAbortsAndReleases) {
  stopAtLook = 30;  // in the busy phase of block 1
  Find();
  EXPECT_EQ(RunBlocks(programmer::kProgramBlock, programmer::MakeSystemImage("NEW", 2)), qzlink::kWaitStopped);
  EXPECT_EQ(formsClosed, 1);
  EXPECT_EQ(device->log().aborts, 1u);
  EXPECT_EQ(device->log().releases, 2u);
  EXPECT_EQ(device->log().commits, 0u);
  EXPECT_EQ(qzlink::ProbeDevice(kProgrammerBase), qzlink::kProbeAnswered);
}

TEST_F(UpdateModeTest, ADeviceBusyPastTheLimitReturnsFourUnreleased) {
  device->faults().busyForeverAtBlock = 2;
  Find();
  EXPECT_EQ(RunBlocks(programmer::kProgramBlock, programmer::MakeSystemImage("NEW", 2)), qzlink::kWaitTimedOut);
  EXPECT_EQ(device->log().releases, 2u);
  // 10 ms a look at the clock: more than 10 s of busy time takes about a thousand looks.
  EXPECT_GT(looks, 1000);
  EXPECT_LT(looks, 1200);
}

TEST_F(UpdateModeTest, AStalledCycleLosesTheWaitAndAStalledReleaseLosesTheBlockResult) {
  const std::vector<uint8_t> image = programmer::MakeSystemImage("NEW", 2);
  Find();
  SendBlock(programmer::kProgramBlock, 0, image);
  device->wire().faults().StallAnswer(programmer::WirePoint::UpdateCycle, 2);  // 0x30, 0xB8, then 0x48
  EXPECT_EQ(qzlink::WaitDeviceDone(10, kProgrammerBase), qzlink::kWaitLost);

  // The PC gave up, the mode went idle and the stall is over: the next scan finds it.
  EXPECT_EQ(Find(), kProgrammerBase);
  EXPECT_EQ(device->log().probes, 2u);
  SendBlock(programmer::kProgramBlock, 0, image);
  device->wire().faults().StallAnswer(programmer::WirePoint::UpdateRelease);
  // The release gives up after its 3 seconds; the wait itself had its verdict.
  EXPECT_EQ(qzlink::WaitDeviceDone(10, kProgrammerBase), qzlink::kWaitDone);
  EXPECT_EQ(device->log().releases, 0u);
  qzlink::LinkPacket result;
  EXPECT_EQ(Receive(result), qzlink::kReceiveFailed);
}

TEST_F(UpdateModeTest, A0AtTheProbeCountsAsAbsent) {
  device->faults().refuseProbe = true;
  EXPECT_EQ(qzlink::ProbeDevice(kProgrammerBase), qzlink::kProbeRefused);
  // The last port with a base is reported although nothing answered on it.
  EXPECT_EQ(Find(), kProgrammerBase);
  EXPECT_EQ(device->log().probes, 0u);
}

TEST_F(UpdateModeTest, WithNoDeviceNoProbeIsAnswered) {
  portio::CloseVirtualPort();
  Plug(std::make_unique<portio::FloatingPort>());
  EXPECT_EQ(qzlink::ProbeDevice(kEmptyBase), qzlink::kProbeNoAnswer);
  EXPECT_EQ(qzlink::ProbeDevice(kProgrammerBase), qzlink::kProbeNoAnswer);
  EXPECT_EQ(Find(), kProgrammerBase);
  EXPECT_EQ(Send(programmer::kReadDeviceInfo, {}, 4), 0);
}

TEST_F(UpdateModeTest, AnUnplugBeforeTheVerdictNeverEndsTheWaitDone) {
  const std::vector<uint8_t> image = programmer::MakeSystemImage("NEW", 2);
  // Where the verdict of a clean wait shows, counted from the wait's start.
  Find();
  SendBlock(programmer::kProgramBlock, 0, image);
  const uint64_t start = device->accesses();
  ASSERT_EQ(qzlink::WaitDeviceDone(10, kProgrammerBase), qzlink::kWaitDone);
  const uint64_t verdictAfter = device->log().lastVerdictAt - start;
  // The sweep covers the first wait, a cycle, a busy phase and the next cycle.
  EXPECT_GE(verdictAfter, 30u);

  for (uint64_t n = 0; n <= verdictAfter; ++n) {
    portio::CloseVirtualPort();
    Plug(std::make_unique<UpdateMode>());
    Find();
    SendBlock(programmer::kProgramBlock, 0, image);
    device->faults().unplugAfterAccesses = device->accesses() + n;
    const int waited = qzlink::WaitDeviceDone(1, kProgrammerBase);
    EXPECT_TRUE(waited == qzlink::kWaitLost || waited == qzlink::kWaitTimedOut) << n << ": " << waited;
    EXPECT_TRUE(device->unplugged());
    EXPECT_EQ(qzlink::ProbeDevice(kProgrammerBase), qzlink::kProbeNoAnswer);
  }
}

TEST_F(UpdateModeTest, AnUnplugInTheMiddleOfABlockFailsItsSend) {
  Find();
  device->faults().unplugAfterAccesses = device->accesses() + 20000;
  std::vector<uint8_t> payload(programmer::kUpdateBlockSize + 7, 0x5A);
  EXPECT_EQ(Send(programmer::kProgramBlock, payload, static_cast<uint32_t>(payload.size()) + 4), 0);
  qzlink::LinkPacket reply;
  EXPECT_EQ(Receive(reply), qzlink::kReceiveFailed);
}

}  // namespace
}  // namespace programmertest
