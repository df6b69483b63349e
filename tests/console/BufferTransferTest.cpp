// The console's side of the buffer transfers without any form: the plan, the gauge and the
// byte rules, then the dialogue on the wire with a device that runs one transfer (or sends a
// command no transfer would), served into a plain data buffer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "console/core/BufferTransfer.h"
#include "link/Io_1.h"
#include "link/Transaction.h"
#include "platform/portio/PortDriver.h"
#include "platform/portio/VirtualPortBackend.h"
#include "programmer/VirtualProgrammer.h"
#include "tests/support/RecordingTransferSite.h"
#include "tests/support/TransferDevice.h"

namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using programmer::DeviceTransfer;

constexpr uint32_t kBase = 0x378;

struct PlanCase {
  uint32_t total;
  uint32_t block;
  uint32_t blocks;
  uint32_t lastOffset;
  uint32_t lastLength;
};

TEST(BlockPlanTest, LastBlockLiesAtItsIndexTimesTheAnnouncedSize) {
  const PlanCase cases[] = {
      {0x1000, 0x400, 4, 0xC00, 0x400}, {0x1100, 0x400, 5, 0x1000, 0x100}, {0x900, 0x400, 3, 0x800, 0x100},
      {1, 0xFFFA, 1, 0, 1},             {0x7FFFFF, 0x10, 0x80000, 0x7FFFF0, 0xF}, {0xFFFFFF, 0xFFFFFF, 1, 0, 0xFFFFFF},
  };
  for (const PlanCase& c : cases) {
    const console::BlockPlan plan(c.total, c.block);
    ASSERT_EQ(plan.Blocks(), c.blocks) << c.total;
    EXPECT_EQ(plan.Offset(c.blocks - 1), c.lastOffset) << c.total;
    EXPECT_EQ(plan.Length(c.blocks - 1), c.lastLength) << c.total;
    EXPECT_EQ(plan.Length(0), std::min(c.block, c.total)) << c.total;
  }
  EXPECT_EQ(console::BlockPlan(0, 0x400).Blocks(), 0u);
}

// The distinct values the gauge shows over a transfer of `blocks` blocks.
std::vector<int> GaugeTrace(uint32_t blocks) {
  std::vector<int> trace;
  int progress = 0;
  for (uint32_t i = 0; i < blocks; ++i) {
    const int next = console::GaugeBeforeBlock(progress, i, blocks);
    if (next != progress) trace.push_back(next);
    progress = next;
  }
  return trace;
}

TEST(TransferGaugeTest, StepsByTenUpTo195AndFillsForTheLastBlock) {
  EXPECT_THAT(GaugeTrace(4), ElementsAre(10, 20, 30, 200));
  EXPECT_THAT(GaugeTrace(1), ElementsAre(200));
  const std::vector<int> long_ = GaugeTrace(1024);
  ASSERT_EQ(long_.size(), 21u);  // 10..190, 195, 200: at most 21 repaints of a transfer
  EXPECT_EQ(long_[18], 190);
  EXPECT_EQ(long_[19], 195);
  EXPECT_EQ(long_[20], 200);
}

TEST(TransferRulesTest, PayloadsBytesAndGrowth) {
  const std::vector<uint8_t> block = {0x00, 0x11, 0x01, 0x00, 0x04, 0x00, 0xEE};
  ASSERT_TRUE(console::ReadBlockRequest(block));
  EXPECT_EQ(console::ReadBlockRequest(block)->total, 0x011100u);
  EXPECT_EQ(console::ReadBlockRequest(block)->block, 0x400u);
  EXPECT_FALSE(console::ReadBlockRequest(std::span(block).first(5)));
  ASSERT_TRUE(console::ReadSegmentRequest(block));
  EXPECT_EQ(console::ReadSegmentRequest(block)->address, 0x011100u);
  EXPECT_EQ(console::ReadSegmentRequest(block)->length, 0x0400u);
  EXPECT_FALSE(console::ReadSegmentRequest(std::span(block).first(4)));

  for (int value = 0; value < 256; ++value) {
    const auto byte = static_cast<uint8_t>(value);
    EXPECT_EQ(console::ByteForProgrammer(byte, 0), byte);
    EXPECT_EQ(console::ByteForProgrammer(byte, 1), value != 0 ? 1 : 0);
  }
  EXPECT_EQ(console::GrowthFor(0x4000, 0x8100), 0x8100u);
  EXPECT_EQ(console::GrowthFor(0x4000, 0x4000), std::nullopt);
  EXPECT_EQ(console::GrowthFor(0, 0), std::nullopt);
  EXPECT_EQ(console::GrowthFor(-1, 0), 0u);
}

// The console's handlers with nothing but the transfer code behind them.
class CoreConsole : public qzlink::CommandHandlers {
 public:
  CoreConsole(console::LinkState& state, console::TransferSite& site) : state_(state), site_(site) {}
  void ReShowLCDCommand(qzlink::LinkPacket) override {}
  void GetKeyCodeCommand() override {}
  void QZSendMenuDataCommand(qzlink::LinkPacket) override {}
  void QZSendStatusDataCommandA7(qzlink::LinkPacket) override {}
  void QZSendReadDataCommand(qzlink::LinkPacket p) override {
    console::ServeReadAll(qzlink::PacketPayload(p), state_, site_);
  }
  void QZGetProgramDataCommand(qzlink::LinkPacket p) override {
    console::ServeProgramAll(qzlink::PacketPayload(p), state_, site_);
  }
  void QZSendReadDataSegmentCommand(qzlink::LinkPacket p) override {
    console::ServeReadSegment(qzlink::PacketPayload(p), state_, site_);
  }
  void QZGetProgramDataSegmentCommand(qzlink::LinkPacket p) override {
    console::ServeProgramSegment(qzlink::PacketPayload(p), state_, site_);
  }

 private:
  console::LinkState& state_;
  console::TransferSite& site_;
};

class TransferWireTest : public ::testing::Test {
 protected:
  TransferWireTest() {
    auto device = std::make_unique<programmer::VirtualProgrammer>();
    device_ = device.get();
    portio::OpenVirtualPort(std::move(device), kBase);
    state_.LptBase = kBase;
  }
  ~TransferWireTest() override { portio::CloseVirtualPort(); }

  void Tick() {
    ASSERT_EQ(qzlink::PollDevice(kBase, qzlink::kPollCode), qzlink::kPollHasCommand);
    EXPECT_EQ(qzlink::ABCProcessOne(*qzlink::BuildPacket(qzlink::kRequestCode, {}, 4), kBase, console_),
              qzlink::kTransactionDone);
  }
  programmer::DeviceLink& wire() { return device_->wire(); }
  std::vector<uint8_t> Random(size_t count) {
    std::vector<uint8_t> bytes(count);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random_());
    return bytes;
  }

  programmer::VirtualProgrammer* device_ = nullptr;
  RecordingTransferSite site_{0x4000};
  console::LinkState state_;
  CoreConsole console_{state_, site_};
  std::mt19937 random_{0x5EED};
};

struct Refused {
  const char* name;
  uint8_t code;
  std::vector<uint8_t> payload;
  const char* log;
};

class RefusedTransferTest : public TransferWireTest, public ::testing::WithParamInterface<Refused> {};

// Nothing is sent, not even the ready frame, and the buffer stays as it was.
TEST_P(RefusedTransferTest, IsLoggedAndDroppedBeforeAnyFrame) {
  TransferDevice device(wire(), GetParam().code, GetParam().payload);
  const std::vector<uint8_t> before = site_.Bytes(0, 0x4000);
  Tick();
  EXPECT_THAT(device.received, IsEmpty());
  ASSERT_EQ(site_.log.size(), 1u);
  EXPECT_THAT(site_.log[0], StartsWith(GetParam().log));
  EXPECT_EQ(site_.data.BufSize(), 0x4000);
  EXPECT_EQ(site_.Bytes(0, 0x4000), before);
  EXPECT_THAT(site_.captions, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Requests, RefusedTransferTest,
    ::testing::Values(
        Refused{"ReadAllOf8MiB", 0xA2, {0x00, 0x00, 0x80, 0x00, 0x04, 0x00}, "QZSendReadDataCommand() : total 800000"},
        Refused{"ReadAllShort", 0xA2, {0x00, 0x10, 0x00, 0x00, 0x04}, "QZSendReadDataCommand() : command too short"},
        Refused{"ReadAllBlockZero", 0xA2, {0x00, 0x10, 0x00, 0x00, 0x00, 0x00}, "QZSendReadDataCommand() : block size 0"},
        Refused{"ReadAllBlockTooLarge", 0xA2, {0x00, 0x00, 0x02, 0xFB, 0xFF, 0x00}, "QZSendReadDataCommand() : block of FFFB"},
        Refused{"ProgramAllBlockZero", 0xA3, {0x00, 0x10, 0x00, 0x00, 0x00, 0x00}, "QZGetProgramDataCommand() : block size 0"},
        Refused{"ProgramAllBlockTooLarge", 0xA3, {0x10, 0x00, 0x00, 0xFB, 0xFF, 0x00}, "QZGetProgramDataCommand() : block of FFFB"},
        Refused{"ProgramAllEmpty", 0xA3, {}, "QZGetProgramDataCommand() : command too short"},
        Refused{"ReadSegmentTooLong", 0xA5, {0x00, 0x00, 0x00, 0xFB, 0xFF}, "QZSendReadDataSegmentCommand() : segment of FFFB"},
        Refused{"ProgramSegmentTooLong", 0xA6, {0x00, 0x00, 0x00, 0xFF, 0xFF}, "QZGetProgramDataSegmentCommand() : segment of FFFF"},
        Refused{"ProgramSegmentShort", 0xA6, {0x00, 0x00, 0x00, 0x10}, "QZGetProgramDataSegmentCommand() : command too short"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TransferWireTest, ReadAllAcceptsALargeBlockWhenTheTotalFitsAPacket) {
  const std::vector<uint8_t> data = Random(0x100);
  TransferDevice device(wire(), DeviceTransfer::ReadAll(data, 0x10000));
  Tick();
  EXPECT_EQ(device.transfer->state(), DeviceTransfer::State::Done);
  EXPECT_EQ(site_.Bytes(0, 0x100), data);
  EXPECT_THAT(site_.gauge, ElementsAre(0, 200));
}

TEST_F(TransferWireTest, ReadAllOfNothingSendsTheReadyAndTakesNoBlock) {
  TransferDevice device(wire(), DeviceTransfer::ReadAll({}, 0x400));
  Tick();
  ASSERT_EQ(device.received.size(), 1u);
  EXPECT_EQ(device.received[0], *qzlink::BuildPacket(0xE1, {}, 4));
  EXPECT_EQ(device.sent.size(), 1u);
  EXPECT_EQ(site_.refreshes, 1);
  EXPECT_THAT(site_.Bytes(0, 0x4000), Each(0xFF));
}

// Full blocks every time: the one that reaches past BufSize carries 0x00 there.
TEST_F(TransferWireTest, ProgramAllSendsFullBlocksAndZerosPastTheBuffer) {
  site_.data.Resize(0x900, 0xFF);
  const std::vector<uint8_t> data = Random(0x900);
  std::copy(data.begin(), data.end(), buffer::BufferLock(site_.data).data());
  TransferDevice device(wire(), DeviceTransfer::ProgramAll(0x900, 0x400));
  Tick();
  ASSERT_EQ(device.received.size(), 4u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(device.received[i][0], 0xE1);
    EXPECT_EQ(qzlink::LengthField(device.received[i]), 0x405u);
    EXPECT_EQ(qzlink::PacketPayload(device.received[i])[0], '+');
  }
  const std::span<const uint8_t> last = qzlink::PacketPayload(device.received[2]);
  EXPECT_TRUE(std::equal(last.begin() + 1, last.begin() + 0x101, data.begin() + 0x800));
  EXPECT_THAT(std::vector<uint8_t>(last.begin() + 0x101, last.end()), Each(0x00));
  EXPECT_EQ(device.received[3], *qzlink::BuildPacket(0xE0, {}, 4));
  EXPECT_EQ(device.transfer->received(), data);
  EXPECT_THAT(site_.captions, ElementsAre("Sending Data..."));
  EXPECT_THAT(site_.gauge, ElementsAre(0, 10, 20, 200));
}

TEST_F(TransferWireTest, ProgramSegmentOfNothingSendsThePlusAlone) {
  TransferDevice device(wire(), DeviceTransfer::ProgramSegment(0x10, 0));
  Tick();
  ASSERT_EQ(device.received.size(), 2u);
  EXPECT_EQ(device.received[0], *qzlink::BuildPacket(0xE1, std::vector<uint8_t>{'+'}, 5));
  EXPECT_EQ(device.transfer->state(), DeviceTransfer::State::Done);
  EXPECT_THAT(site_.gauge, ElementsAre(0));
}

// Past the buffer's end: it grows with the tail fill up to the segment.
TEST_F(TransferWireTest, ReadSegmentBeyondTheBufferGrowsItWithTheFill) {
  site_.tailFill = 0x5A;
  const std::vector<uint8_t> data = Random(0x100);
  TransferDevice device(wire(), DeviceTransfer::ReadSegment(0x8000, data));
  Tick();
  EXPECT_EQ(site_.data.BufSize(), 0x8100);
  EXPECT_THAT(site_.Bytes(0x4000, 0x4000), Each(0x5A));
  EXPECT_EQ(site_.Bytes(0x8000, 0x100), data);
  EXPECT_THAT(site_.Bytes(0, 0x4000), Each(0xFF));
  EXPECT_THAT(site_.panel, IsEmpty());
  EXPECT_THAT(site_.captions, ElementsAre("Getting Data..."));
  EXPECT_THAT(site_.gauge, ElementsAre(0));
}

// A data packet that holds less than announced is a failed receive: no acknowledge, and the
// data taken before it never reach the buffer.
TEST_F(TransferWireTest, ShortDataPacketIsAFailedReceive) {
  for (const uint8_t code : {0xA2, 0xA5}) {
    const std::vector<uint8_t> data = Random(0x300);
    TransferDevice device(wire(), code == 0xA2 ? DeviceTransfer::ReadAll(data, 0x100)
                                               : DeviceTransfer::ReadSegment(0, data));
    const uint32_t frame = code == 0xA2 ? 2 : 0;
    wire().faults().ShortPayload(0x80, frame);
    site_.log.clear();
    Tick();
    EXPECT_EQ(device.received.size(), 1u + frame) << int{code};  // the ready, the acknowledges before
    EXPECT_THAT(site_.Bytes(0, 0x4000), Each(0xFF));
    ASSERT_EQ(site_.log.size(), 1u);
    EXPECT_THAT(site_.log[0], ::testing::HasSubstr("Get data Fail!"));
    EXPECT_EQ(site_.refreshes, 0);
  }
}

}  // namespace
