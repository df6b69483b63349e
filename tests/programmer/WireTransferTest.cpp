#include <set>

#include "tests/programmer/WireFixture.h"

namespace programmertest {
namespace {

using ::testing::ElementsAre;
using qzlink::BuildPacket;

std::vector<size_t> PayloadLengths(std::mt19937& random) {
  std::vector<size_t> lengths = {0, 1, 2, 3, 4, 5, 15, 16, 255, 256, 257, 4097, 0xFFFA, 0xFFFB};
  std::uniform_int_distribution<size_t> any(0, qzlink::kMaxPayload);
  for (int i = 0; i < 8; ++i) lengths.push_back(any(random));
  return lengths;
}

TEST_F(WireTest, IdleDeviceAnswersThePollWithOne) {
  EXPECT_EQ(Tick(), -1);
  EXPECT_EQ(lastPoll, qzlink::kPollIdle);
  EXPECT_THAT(listener.pollCodes, ElementsAre(0x70));
}

TEST_F(WireTest, AbsentDeviceNeverAnswers) {
  wire().SetPresent(false);
  wire().QueueCommand(0xA0, {});
  EXPECT_EQ(Tick(), -1);
  EXPECT_EQ(lastPoll, qzlink::kPollNoAnswer);
  EXPECT_TRUE(listener.pollCodes.empty());
}

TEST_F(WireTest, CommandQueuedOnHearingTheKeyPollIsAnnouncedByThatPoll) {
  listener.onPoll = [this](uint8_t code) {
    if (code == qzlink::kPollCodeKeyWaiting) wire().QueueCommand(0xA1, {});
  };
  EXPECT_EQ(Tick(qzlink::kPollCode), -1);
  EXPECT_EQ(Tick(qzlink::kPollCodeKeyWaiting), qzlink::kTransactionDone);
  ASSERT_EQ(handlers.calls.size(), 1u);
  EXPECT_EQ(handlers.calls[0].name, "GetKeyCodeCommand");
  EXPECT_EQ(wire().QueuedCommands(), 0u);
}

TEST_F(WireTest, CommandsOfEveryLengthArriveIntact) {
  const auto lengths = PayloadLengths(random);
  for (size_t length : lengths) {
    const auto payload = RandomBytes(length);
    wire().QueueCommand(0xA2, payload);
    ASSERT_EQ(Tick(), qzlink::kTransactionDone) << length;
    ASSERT_EQ(handlers.calls.size(), 1u);
    EXPECT_EQ(handlers.calls[0].packet, BuildPacket(0xA2, payload, static_cast<uint32_t>(length + 4))) << length;
    handlers.calls.clear();
  }
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(wire().counts().packetsSent, lengths.size());
}

TEST_F(WireTest, PacketsOfEveryLengthFromThePcArriveIntact) {
  OpenTransaction();
  for (size_t length : PayloadLengths(random)) {
    const auto packet = *BuildPacket(0xE1, RandomBytes(length), static_cast<uint32_t>(length + 4));
    ASSERT_EQ(qzlink::SendPacket(packet, kBase), 1) << length;
    ASSERT_FALSE(listener.received.empty());
    EXPECT_EQ(listener.received.back(), packet) << length;
  }
  EXPECT_EQ(wire().counts().crcErrors, 0u);
  EXPECT_EQ(wire().counts().malformed, 0u);
}

TEST_F(WireTest, RepliesFollowThePacketsTheyAnswer) {
  listener.onPacket = [this](const qzlink::LinkPacket& packet) {
    if (packet[0] == qzlink::kReadyCode) wire().QueueReply(0x01, std::vector<uint8_t>{'#', 0xAB, 0xCD});
  };
  OpenTransaction();
  ASSERT_EQ(qzlink::SendPacket(*BuildPacket(qzlink::kReadyCode, {}, 4), kBase), 1);
  qzlink::LinkPacket block;
  ASSERT_EQ(qzlink::PcGetQz710Data(kBase, block), qzlink::kReceived);
  EXPECT_THAT(qzlink::PacketPayload(block), ElementsAre('#', 0xAB, 0xCD));
  ASSERT_EQ(qzlink::SendPacket(*BuildPacket(qzlink::kAcknowledgeCode, std::vector<uint8_t>{'+', 0}, 6), kBase), 1);
  EXPECT_EQ(listener.received.back()[0], qzlink::kAcknowledgeCode);
  EXPECT_EQ(listener.sent.size(), 2u);
}

TEST_F(WireTest, PacketWithABadCrcIsDroppedAndTheNextOneTaken) {
  OpenTransaction();
  auto damaged = *BuildPacket(0xE1, std::vector<uint8_t>{'+', 1, 2}, 7);
  damaged[9] = damaged[9] == '0' ? '1' : '0';
  const size_t before = listener.received.size();
  ASSERT_EQ(qzlink::SendPacket(damaged, kBase), 1);  // the PC cannot tell
  EXPECT_EQ(listener.received.size(), before);
  EXPECT_EQ(wire().counts().crcErrors, 1u);

  const auto good = *BuildPacket(0xE1, std::vector<uint8_t>{'+', 1, 2}, 7);
  ASSERT_EQ(qzlink::SendPacket(good, kBase), 1);
  EXPECT_EQ(listener.received.back(), good);
}

TEST_F(WireTest, JunkBitsVaryButNeverTheMeaningfulOnes) {
  wire().QueueCommand(0xA0, {});
  qzlink::WritePortByte(kBase, 0x00);
  qzlink::WritePortByte(kBase + 2, 0x0A);
  std::set<uint32_t> seen;
  for (int i = 0; i < 64; ++i) {
    const uint32_t status = qzlink::ReadPortByte(kBase + 1);
    EXPECT_EQ(status & 0xF8, 0x80u);
    seen.insert(status);
  }
  EXPECT_GT(seen.size(), 4u);
}

}  // namespace
}  // namespace programmertest
