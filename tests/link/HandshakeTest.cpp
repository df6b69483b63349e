#include "link/Io_1.h"

#include <algorithm>
#include <array>

#include "tests/link/ScriptedPort.h"

namespace linktest {
namespace {

using ::testing::ElementsAre;
using qzlink::PcHandGet;
using qzlink::PcHandSend;
using qzlink::PollDevice;

using HandshakeTest = ScriptedPortTest;

TEST_F(HandshakeTest, PortBytesGoThroughTheDriverToTheRegisters) {
  port->Show(0xAB);
  EXPECT_EQ(qzlink::WritePortByte(kBase + 2, 0x1C5), 1);
  EXPECT_EQ(qzlink::ReadPortByte(kBase + 1) & 0xFF, 0xABu);
  EXPECT_THAT(port->writes, ElementsAre(Control(0xC5)));
}

// --- PollDevice ---

TEST_F(HandshakeTest, PollWithACommandLeavesControl04) {
  port->PollAnswers(0x20);
  EXPECT_EQ(PollDevice(kBase, 0x70), qzlink::kPollHasCommand);
  EXPECT_THAT(port->writes, ElementsAre(Data(0x00), Control(0x0A), Data(0x39), Control(0x05), Data(0x70),
                                        Control(0x0A), Data(0x93), Control(0x05), Data(0x39), Control(0x0A),
                                        Data(0x00), Control(0x04)));
  EXPECT_EQ(port->statusReads, 5u);
}

TEST_F(HandshakeTest, PollIgnoresBit3OfTheAnswer) {
  port->PollAnswers(0x28);
  EXPECT_EQ(PollDevice(kBase, 0x71), qzlink::kPollHasCommand);
  EXPECT_EQ(port->writes[4], Data(0x71));
  EXPECT_EQ(port->writes.back(), Control(0x04));
}

TEST_F(HandshakeTest, PollIdleAnswerLeavesControl0A) {
  port->PollAnswers(0x38);
  EXPECT_EQ(PollDevice(kBase, 0x70), qzlink::kPollIdle);
  EXPECT_EQ(port->writes.back(), Control(0x0A));
  EXPECT_EQ(port->writes[port->writes.size() - 2], Data(0x00));
}

TEST_F(HandshakeTest, PollMatchOnTheLastAllowedReadOfAShortWaitSucceeds) {
  port->Show(0x00, 29999).PollAnswers(0x30);
  EXPECT_EQ(PollDevice(kBase, 0x70), qzlink::kPollIdle);
}

TEST_F(HandshakeTest, PollShortWaitGivesUpAfter30000ReadsWithoutFurtherWrites) {
  port->Show(0x00, 30000).PollAnswers(0x30);
  EXPECT_EQ(PollDevice(kBase, 0x70), qzlink::kPollNoAnswer);
  EXPECT_EQ(port->statusReads, 30000u);
  EXPECT_THAT(port->writes, ElementsAre(Data(0x00), Control(0x0A)));
}

TEST_F(HandshakeTest, PollLongWaitsAllow300000Reads) {
  port->Show(0x80).Show(0xE0).Show(0x00, 299999).Show(0x18).Show(0x30);
  EXPECT_EQ(PollDevice(kBase, 0x70), qzlink::kPollNoAnswer);  // fails at step 5
  EXPECT_EQ(port->writes.back(), Control(0x0A));
  EXPECT_EQ(port->writes[port->writes.size() - 2], Data(0x39));

  port->writes.clear();
  port->Show(0x80).Show(0xE0).Show(0x18).Show(0x00, 300000).Show(0x20).PollAnswers(0x20);
  EXPECT_EQ(PollDevice(kBase, 0x70), qzlink::kPollNoAnswer);  // step 4 never answered
  EXPECT_EQ(port->writes.back(), Control(0x05));
  EXPECT_TRUE(log.empty());
}

// --- PcHandGet ---

TEST_F(HandshakeTest, NibblesOf58AndE8MakeD6) {
  port->Show(0x60).Show(0x58).Show(0x20).Show(0xE8).Show(0xD0).Show(0x78);
  uint8_t byte = 0;
  EXPECT_EQ(PcHandGet(1, &byte, kBase), 1);
  EXPECT_EQ(byte, 0xD6);
  EXPECT_THAT(port->writes, ElementsAre(Data(0x55), Data(0x5A), Data(0xAA), Data(0xA5), Data(0x55), Data(0xFF)));
}

TEST_F(HandshakeTest, GetReadsEveryByteValueThroughJunkBits) {
  std::vector<uint8_t> sent(256);
  for (int i = 0; i < 256; ++i) sent[i] = static_cast<uint8_t>(i);
  port->GivesBytes(sent);
  std::vector<uint8_t> got(256, 0x11);
  EXPECT_EQ(PcHandGet(256, got.data(), kBase), 1);
  EXPECT_EQ(got, sent);
  EXPECT_EQ(port->ControlWriteCount(), 0u);
}

TEST_F(HandshakeTest, GetOfNothingOnlyOpensAndCloses) {
  port->GivesBytes({});
  EXPECT_EQ(PcHandGet(0, nullptr, kBase), 1);
  EXPECT_THAT(port->DataWrites(), ElementsAre(0x55, 0xFF));
}

TEST_F(HandshakeTest, GetOpenMatchesOnRead100001AndFailsOneReadLater) {
  port->Show(0x00, 100000).GivesBytes({});
  EXPECT_EQ(PcHandGet(0, nullptr, kBase), 1);

  port->writes.clear();
  port->statusReads = 0;
  port->Show(0x00, 100001).GivesBytes({});
  uint8_t untouched = 0x5C;
  EXPECT_EQ(PcHandGet(1, &untouched, kBase), 0);
  EXPECT_EQ(port->statusReads, 100002u);  // the read past the bound is not compared
  EXPECT_THAT(port->writes, ElementsAre(Data(0x00)));
  EXPECT_EQ(untouched, 0x5C);
  EXPECT_THAT(log, ElementsAre("PcHandGet() : 1  ERROR!=0"));
}

struct GetFailure {
  int answeredStatuses;  // statuses given before the device goes silent
  const char* text;
  std::vector<uint8_t> writesBeforeFailure;
};

class GetFailureTest : public ScriptedPortTest, public ::testing::WithParamInterface<GetFailure> {};

TEST_P(GetFailureTest, LogsTheStepAndLeavesZeroOnTheData) {
  // Byte 0 is 0x3C; byte 1 is where it stops (or the close, with count 1).
  const std::vector<uint8_t> script = {0x60, ScriptedPort::NibbleStatus(0x30), 0x20, ScriptedPort::NibbleStatus(0xC0),
                                       0xD0, ScriptedPort::NibbleStatus(0xA0), 0x20, ScriptedPort::NibbleStatus(0x50),
                                       0xD0, 0x78};
  for (int i = 0; i < GetParam().answeredStatuses; ++i) port->Show(script[i]);
  std::array<uint8_t, 2> got = {0xEE, 0xEE};
  EXPECT_EQ(PcHandGet(2, got.data(), kBase), 0);
  std::vector<uint8_t> expected = GetParam().writesBeforeFailure;
  expected.push_back(0x00);
  EXPECT_EQ(port->DataWrites(), expected);
  EXPECT_EQ(port->ControlWriteCount(), 0u);
  EXPECT_THAT(log, ElementsAre(GetParam().text));
  if (GetParam().answeredStatuses >= 4) {
    EXPECT_EQ(got[0], 0x3C);  // what arrived stays
  }
}

INSTANTIATE_TEST_SUITE_P(
    EachWait, GetFailureTest,
    ::testing::Values(GetFailure{5, "PcHandGet() : 2 ERROR != 1", {0x55, 0x5A, 0xAA, 0xA5, 0x55}},
                      GetFailure{6, "PcHandGet() : 3 STATUS!=A0H", {0x55, 0x5A, 0xAA, 0xA5, 0x55, 0x5A}},
                      GetFailure{3, "PcHandGet() : 4 ERROR!=1", {0x55, 0x5A, 0xAA}},
                      GetFailure{4, "PcHandGet() : 5 STATUS != 50H", {0x55, 0x5A, 0xAA, 0xA5}},
                      GetFailure{9, "PcHandGet() : 6 END Fail!",
                                 {0x55, 0x5A, 0xAA, 0xA5, 0x55, 0x5A, 0xAA, 0xA5, 0x55}}));

// --- PcHandSend ---

TEST_F(HandshakeTest, SendOfNothingOnlyOpensAndCloses) {
  port->TakesPairs(0);
  EXPECT_EQ(PcHandSend(0, nullptr, kBase), 1);
  EXPECT_THAT(port->writes,
              ElementsAre(Data(0x12), Control(0x05), Data(0xFF), Control(0x00), Data(0x00)));
}

TEST_F(HandshakeTest, SendGoesInPairsWithDataBeforeControl) {
  const std::array<uint8_t, 4> bytes = {0xA1, 0xB2, 0xC3, 0xD4};
  port->TakesPairs(4);
  EXPECT_EQ(PcHandSend(4, bytes.data(), kBase), 1);
  EXPECT_THAT(port->writes, ElementsAre(Data(0x12), Control(0x05), Data(0xA1), Control(0x0B), Data(0xB2),
                                        Control(0x05), Data(0xC3), Control(0x0B), Data(0xD4), Control(0x05),
                                        Data(0xFF), Control(0x00), Data(0x00)));
}

TEST_F(HandshakeTest, OddSendPadsWithZeroInsteadOfReadingPastTheBytes) {
  const std::array<uint8_t, 6> bytes = {1, 2, 3, 4, 5, 0x77};  // 0x77 is not the caller's
  port->TakesPairs(5);
  EXPECT_EQ(PcHandSend(5, bytes.data(), kBase), 1);
  const auto data = port->DataWrites();
  EXPECT_THAT(std::vector<uint8_t>(data.begin() + 1, data.end() - 2), ElementsAre(1, 2, 3, 4, 5, 0x00));
}

TEST_F(HandshakeTest, SendOpenAllows100000ReadsWithoutAFreeFirstRead) {
  port->Show(0x00, 99999).TakesPairs(0);
  EXPECT_EQ(PcHandSend(0, nullptr, kBase), 1);

  port->writes.clear();
  port->statusReads = 0;
  port->Show(0x00, 100000).TakesPairs(0);
  EXPECT_EQ(PcHandSend(0, nullptr, kBase), 0);
  EXPECT_EQ(port->statusReads, 100001u);
  EXPECT_THAT(port->writes, ElementsAre(Data(0x00)));
  EXPECT_THAT(log, ElementsAre("PcHandSend() : 1 status!= 58H"));
}

TEST_F(HandshakeTest, LaterSendWaitsAllow100001Reads) {
  const uint8_t byte = 0x42;
  port->Show(0xD8).Show(0x00, 100000).Show(0x28).Show(0xD8).Show(0x28).Show(0x30);
  EXPECT_EQ(PcHandSend(1, &byte, kBase), 1);

  port->writes.clear();
  port->Show(0xD8).Show(0x00, 100001).Show(0x28).Show(0xD8).Show(0x28).Show(0x30);
  EXPECT_EQ(PcHandSend(1, &byte, kBase), 0);
  EXPECT_THAT(log, ElementsAre("PcHandSend() : 2 status!= a8H"));
}

struct SendFailure {
  int answeredStatuses;
  const char* text;
  PortWrite lastControl;
};

class SendFailureTest : public ScriptedPortTest, public ::testing::WithParamInterface<SendFailure> {};

TEST_P(SendFailureTest, LogsTheStepZeroesTheDataAndLeavesTheControl) {
  const std::array<uint8_t, 2> bytes = {0x81, 0x82};
  const std::array<uint8_t, 5> script = {0xD8, 0x28, 0xD8, 0x28, 0x30};
  for (int i = 0; i < GetParam().answeredStatuses; ++i) port->Show(script[i]);
  EXPECT_EQ(PcHandSend(2, bytes.data(), kBase), 0);
  EXPECT_EQ(port->writes.back(), Data(0x00));
  const auto lastControl = std::find_if(port->writes.rbegin(), port->writes.rend(),
                                        [](const PortWrite& w) { return w.reg == portio::LptRegister::Control; });
  ASSERT_NE(lastControl, port->writes.rend());
  EXPECT_EQ(*lastControl, GetParam().lastControl);
  EXPECT_EQ(lastControl - port->writes.rbegin(), 1);  // only the failure's 0x00 after it
  EXPECT_THAT(log, ElementsAre(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(EachWait, SendFailureTest,
                         ::testing::Values(SendFailure{1, "PcHandSend() : 2 status!= a8H", Control(0x05)},
                                           SendFailure{2, "PcHandSend() : 3 status!= 58H", Control(0x0B)},
                                           SendFailure{3, "PcHandSend() : 4 status!= a8H", Control(0x05)},
                                           SendFailure{4, "PcHandSend() : 5 status!= b0H", Control(0x00)}));

}  // namespace
}  // namespace linktest
