#include "link/LinkPacket.h"

#include <string>

#include "tests/link/ScriptedPort.h"

namespace linktest {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using qzlink::BuildPacket;
using qzlink::LinkPacket;

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

const LinkPacket kRequest = {0x9F, 0x30, 0x30, 0x30, 0x34, 0x44, 0x39, 0x37, 0x44};

TEST(Crc16Test, IsXmodem) {
  const auto digits = Bytes("123456789");
  EXPECT_EQ(qzlink::Crc16(digits.data(), digits.size()), 0x31C3);
  EXPECT_EQ(qzlink::Crc16(nullptr, 0), 0x0000);
  EXPECT_EQ(qzlink::Crc16(kRequest.data(), 5), 0xD97D);
}

TEST(HexFieldTest, ReadsAtMostFourDigitsOfEitherCaseUpToTheFirstNonDigit) {
  EXPECT_EQ(qzlink::ReadHexField(Bytes("FFFF1").data()), 0xFFFFu);
  EXPECT_EQ(qzlink::ReadHexField(Bytes("00a4").data()), 0xA4u);
  EXPECT_EQ(qzlink::ReadHexField(Bytes("1G23").data()), 0x1u);
  EXPECT_EQ(qzlink::ReadHexField(Bytes("G123").data()), 0x0u);
}

TEST(BuildPacketTest, RequestIsTheNineKnownBytes) {
  EXPECT_EQ(BuildPacket(0x9F, {}, 4), kRequest);
}

TEST(BuildPacketTest, LengthFourCarriesNoPayloadWhateverIsPassed) {
  const auto payload = Bytes("XYZ");
  EXPECT_EQ(BuildPacket(0x9F, payload, 4), kRequest);
}

TEST(BuildPacketTest, CarriesPayloadAndCrcOverCodeLengthAndPayload) {
  const auto packet = BuildPacket(0xE0, std::vector<uint8_t>{0x23, 0xFF}, 6);
  ASSERT_TRUE(packet);
  ASSERT_EQ(packet->size(), 11u);
  EXPECT_EQ(std::string(packet->begin(), packet->begin() + 5), "\xE0" "0006");
  EXPECT_THAT(qzlink::PacketPayload(*packet), ElementsAre(0x23, 0xFF));
  char crc[5];
  std::snprintf(crc, sizeof crc, "%04X", qzlink::Crc16(packet->data(), 7));
  EXPECT_EQ(std::string(packet->begin() + 7, packet->end()), crc);
}

TEST(PacketPayloadTest, IsClippedToWhatThePacketHolds) {
  const LinkPacket stub = {0xA0, '0'};  // too short to hold a length field
  EXPECT_TRUE(qzlink::PacketPayload(stub).empty());
  EXPECT_TRUE(qzlink::PacketPayload(LinkPacket{}).empty());
  const LinkPacket cut = {0xA0, '0', '0', '0', '9', 'a', 'b'};
  EXPECT_THAT(qzlink::PacketPayload(cut), ElementsAre('a', 'b'));
  const LinkPacket shortLength = {0xA0, '0', '0', '0', '3', 'a', 'b'};
  EXPECT_TRUE(qzlink::PacketPayload(shortLength).empty());
}

TEST(BuildPacketTest, RefusesLengthsTheFieldCannotHoldAndShortPayloads) {
  const std::vector<uint8_t> big(0x10000, 0xAA);
  EXPECT_FALSE(BuildPacket(0xE1, big, 3));
  EXPECT_FALSE(BuildPacket(0xE1, big, 0x10000));
  EXPECT_FALSE(BuildPacket(0xE1, std::vector<uint8_t>(9), 14));
  const auto largest = BuildPacket(0xE1, big, 0xFFFF);
  ASSERT_TRUE(largest);
  EXPECT_EQ(largest->size(), 0xFFFFu + 5);
  EXPECT_EQ(std::string(largest->begin() + 1, largest->begin() + 5), "FFFF");
}

// --- SendPacket ---

using SendPacketTest = ScriptedPortTest;

// The bytes a byte-pair send put on the data lines, without its open and close values.
std::vector<uint8_t> PairBytes(const std::vector<uint8_t>& dataWrites, size_t from, size_t count) {
  return {dataWrites.begin() + from + 1, dataWrites.begin() + from + 1 + count};
}

TEST_F(SendPacketTest, RequestGoesAsHeadAndBodyRepeatingByte5) {
  port->TakesPairs(6).TakesPairs(4);
  EXPECT_EQ(qzlink::SendPacket(kRequest, kBase), 1);
  const auto data = port->DataWrites();
  ASSERT_EQ(data.size(), 6u + 3 + 4 + 3);
  EXPECT_THAT(PairBytes(data, 0, 6), ElementsAre(0x9F, 0x30, 0x30, 0x30, 0x34, 0x44));
  EXPECT_THAT(PairBytes(data, 9, 4), ElementsAre(0x44, 0x39, 0x37, 0x44));
}

TEST_F(SendPacketTest, OddBodyEndsWithAZeroPad) {
  const auto packet = BuildPacket(0xE0, std::vector<uint8_t>{0x2B}, 5);
  port->TakesPairs(6).TakesPairs(5);
  EXPECT_EQ(qzlink::SendPacket(*packet, kBase), 1);
  const auto data = port->DataWrites();
  ASSERT_EQ(data.size(), 9u + 6 + 3);
  EXPECT_THAT(PairBytes(data, 9, 6), ElementsAre(0x2B, (*packet)[6], (*packet)[7], (*packet)[8], (*packet)[9], 0x00));
}

TEST_F(SendPacketTest, RetriesTheHeadFromItsOpeningWait) {
  port->Show(0xD8).Show(0x28).Show(0x00, 100002).TakesPairs(6).TakesPairs(4);
  EXPECT_EQ(qzlink::SendPacket(kRequest, kBase), 1);
  EXPECT_THAT(log, ElementsAre("PcHandSend() : 3 status!= 58H"));
}

TEST_F(SendPacketTest, FiveFailedHeadsSendNoBody) {
  port->afterScript = 0x28;  // never the opening 0xD8
  EXPECT_EQ(qzlink::SendPacket(kRequest, kBase), 0);
  EXPECT_EQ(log.size(), 5u);
  EXPECT_EQ(port->DataWrites(), std::vector<uint8_t>(5, 0x00));
}

TEST_F(SendPacketTest, FiveFailedBodiesFail) {
  port->TakesPairs(6);
  EXPECT_EQ(qzlink::SendPacket(kRequest, kBase), 0);
  EXPECT_EQ(log.size(), 5u);
}

TEST_F(SendPacketTest, RefusesALengthFieldReachingPastThePacket) {
  LinkPacket truncated = kRequest;
  truncated.resize(8);
  EXPECT_EQ(qzlink::SendPacket(truncated, kBase), 0);
  EXPECT_TRUE(port->writes.empty());
}

TEST_F(SendPacketTest, PacketThatCannotBeBuiltCountsAsNotSent) {
  port->TakesPairs(6).TakesPairs(4);
  EXPECT_EQ(qzlink::SendNewPacket(0xE0, {}, 3, kBase), 0);
  EXPECT_TRUE(port->writes.empty());
  EXPECT_EQ(qzlink::SendNewPacket(0x9F, {}, 4, kBase), 1);
  EXPECT_EQ(port->DataWrites().size(), 16u);
}

// --- PcGetQz710Data ---

using ReceiveTest = ScriptedPortTest;

LinkPacket Split(const LinkPacket& packet, size_t from, size_t to) { return {packet.begin() + from, packet.begin() + to}; }

TEST_F(ReceiveTest, ReceivesHeadThenBody) {
  const auto packet = *BuildPacket(0xA7, std::vector<uint8_t>{1, 1}, 6);
  port->GivesBytes(Split(packet, 0, 5)).GivesBytes(Split(packet, 5, packet.size()));
  LinkPacket out;
  EXPECT_EQ(qzlink::PcGetQz710Data(kBase, out), qzlink::kReceived);
  EXPECT_EQ(out, packet);
  EXPECT_TRUE(log.empty());
}

TEST_F(ReceiveTest, AcceptsLowerCaseCrcDigits) {
  auto packet = *BuildPacket(0xA0, Bytes("abc"), 7);
  for (size_t i = 8; i < packet.size(); ++i) packet[i] = static_cast<uint8_t>(std::tolower(packet[i]));
  port->GivesBytes(Split(packet, 0, 5)).GivesBytes(Split(packet, 5, packet.size()));
  LinkPacket out;
  EXPECT_EQ(qzlink::PcGetQz710Data(kBase, out), qzlink::kReceived);
  EXPECT_EQ(out, packet);
}

// Such a head's "CRC" overlaps its own length digits, so noise with no hex digit where the
// length belongs reads as L = 0 with a matching CRC of 0; it must not pass as a packet.
TEST_F(ReceiveTest, LengthBelowFourIsRefusedLikeACrcMismatchAfterItsShortBody) {
  struct Head {
    std::string bytes;
    std::vector<uint8_t> body;
  };
  const Head heads[] = {
      {std::string("\0" "0000", 5), {}},
      {std::string("\0" "\xFF\xFF\xFF\xFF", 5), {}},  // no hex digit: L = 0, "CRC" 0
      {std::string("\x01" "0000"), {}},
      {std::string("\xA0" "3zzz"), {'z', 'z', 'z'}},
  };
  for (const Head& head : heads) {
    port->GivesBytes(Bytes(head.bytes)).GivesBytes(head.body);
    LinkPacket out = {0x42};
    EXPECT_EQ(qzlink::PcGetQz710Data(kBase, out), qzlink::kReceiveCrcMismatch) << head.bytes;
    EXPECT_EQ(out, LinkPacket{0x42});
    EXPECT_TRUE(port->ScriptDone());
  }
  EXPECT_TRUE(log.empty());
}

TEST_F(ReceiveTest, OneFailedHeadThenAGoodOneStillYieldsThePacket) {
  const auto packet = *BuildPacket(0xA1, {}, 4);
  port->Show(0x60).Show(0x00, 100002).GivesBytes(Split(packet, 0, 5)).GivesBytes(Split(packet, 5, 9));
  LinkPacket out;
  EXPECT_EQ(qzlink::PcGetQz710Data(kBase, out), qzlink::kReceived);
  EXPECT_EQ(out, packet);
  EXPECT_THAT(log, ElementsAre("PcHandGet() : 2 ERROR != 1"));
}

TEST_F(ReceiveTest, FiveFailedHeadsTryNoBodyAndLeaveOutAlone) {
  LinkPacket out = {0x42};
  EXPECT_EQ(qzlink::PcGetQz710Data(kBase, out), qzlink::kReceiveFailed);
  EXPECT_EQ(out, LinkPacket{0x42});
  ASSERT_EQ(log.size(), 6u);
  EXPECT_THAT(log.back(), HasSubstr("PcGetQz710Data()"));
  EXPECT_THAT(log.back(), HasSubstr("first 5 bytes"));
  EXPECT_EQ(port->DataWrites(), std::vector<uint8_t>(5, 0x00));
}

TEST_F(ReceiveTest, FailedBodyNamesTheCountInHex) {
  const auto packet = *BuildPacket(0xA2, std::vector<uint8_t>(26, 7), 30);
  port->GivesBytes(Split(packet, 0, 5));
  LinkPacket out;
  EXPECT_EQ(qzlink::PcGetQz710Data(kBase, out), qzlink::kReceiveFailed);
  EXPECT_TRUE(out.empty());
  ASSERT_EQ(log.size(), 6u);
  EXPECT_THAT(log.back(), HasSubstr("PcGetQz710Data()"));
  EXPECT_THAT(log.back(), HasSubstr("[bytes count=1E]"));
}

TEST_F(ReceiveTest, CrcMismatchFailsAtOnceWithoutLogging) {
  auto packet = *BuildPacket(0xA4, Bytes("menu"), 8);
  packet[7] ^= 0x01;  // a payload byte changed on the way
  port->GivesBytes(Split(packet, 0, 5)).GivesBytes(Split(packet, 5, packet.size()));
  LinkPacket out;
  EXPECT_EQ(qzlink::PcGetQz710Data(kBase, out), qzlink::kReceiveCrcMismatch);
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(port->ScriptDone());
}

}  // namespace
}  // namespace linktest
