#include <functional>

#include "tests/programmer/WireFixture.h"

namespace programmertest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using programmer::WireFaults;
using programmer::WirePoint;

// --- the poll ---

struct PollFault {
  const char* name;
  WirePoint point;
  uint32_t delay;  // 0: stall
  int expectedPoll;
};

class PollFaultTest : public WireTest, public ::testing::WithParamInterface<PollFault> {};

TEST_P(PollFaultTest, AnswersWithinTheBoundOrNotAtAllThenRecovers) {
  wire().QueueCommand(0xA7, std::vector<uint8_t>{1, 1});
  if (GetParam().delay == 0) {
    wire().faults().StallAnswer(GetParam().point);
  } else {
    wire().faults().DelayAnswer(GetParam().point, GetParam().delay);
  }
  EXPECT_EQ(qzlink::PollDevice(kBase, qzlink::kPollCode), GetParam().expectedPoll);
  if (GetParam().expectedPoll == qzlink::kPollNoAnswer) {
    EXPECT_EQ(Tick(), qzlink::kTransactionDone);
  } else {
    EXPECT_EQ(qzlink::ABCProcessOne(*qzlink::BuildPacket(0x9F, {}, 4), kBase, handlers), qzlink::kTransactionDone);
  }
  ASSERT_EQ(handlers.calls.size(), 1u);
  EXPECT_EQ(handlers.calls[0].name, "QZSendStatusDataCommandA7");
  EXPECT_THAT(log, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PollFaultTest,
    ::testing::Values(PollFault{"FirstAnswerOnTheLastRead", WirePoint::PollStep1, 29999, qzlink::kPollHasCommand},
                      PollFault{"FirstAnswerOneReadLate", WirePoint::PollStep1, 30000, qzlink::kPollNoAnswer},
                      PollFault{"SecondAnswerOneReadLate", WirePoint::PollStep2, 30000, qzlink::kPollNoAnswer},
                      PollFault{"ThirdAnswerOnTheLastRead", WirePoint::PollStep3, 299999, qzlink::kPollHasCommand},
                      PollFault{"ThirdAnswerOneReadLate", WirePoint::PollStep3, 300000, qzlink::kPollNoAnswer},
                      PollFault{"FourthAnswerStalls", WirePoint::PollStep4, 0, qzlink::kPollNoAnswer},
                      PollFault{"FifthAnswerStalls", WirePoint::PollStep5, 0, qzlink::kPollNoAnswer}),
    [](const auto& info) { return std::string(info.param.name); });

// --- the transaction ---

struct TransactionFault {
  const char* name;
  std::function<void(WireFaults&)> arm;
  int expected;
  const char* lastLog;       // start of the last log text, "" for none
  const char* nextHandler;   // the handler the next transaction reaches
};

class TransactionFaultTest : public WireTest, public ::testing::WithParamInterface<TransactionFault> {};

TEST_P(TransactionFaultTest, FailsAsItShouldAndTheNextTransactionSucceeds) {
  wire().QueueCommand(0xA0, std::vector<uint8_t>(81, 0x11));
  wire().QueueCommand(0xA7, std::vector<uint8_t>{1, 1});
  GetParam().arm(wire().faults());
  EXPECT_EQ(Tick(), GetParam().expected);
  if (*GetParam().lastLog == '\0') {
    EXPECT_THAT(log, IsEmpty());
  } else {
    ASSERT_FALSE(log.empty());
    EXPECT_THAT(log.back(), StartsWith(GetParam().lastLog));
  }
  if (GetParam().expected == qzlink::kTransactionDone) handlers.calls.clear();
  EXPECT_THAT(handlers.calls, IsEmpty());

  EXPECT_EQ(Tick(), qzlink::kTransactionDone);
  ASSERT_EQ(handlers.calls.size(), 1u);
  EXPECT_EQ(handlers.calls[0].name, GetParam().nextHandler);
}

constexpr const char* kLcd = "ReShowLCDCommand";
constexpr const char* kResult = "QZSendStatusDataCommandA7";

TransactionFault Delay(const char* name, WirePoint point, uint32_t reads, uint32_t skip, const char* lastLog) {
  return {name, [=](WireFaults& f) { f.DelayAnswer(point, reads, skip); }, qzlink::kTransactionDone, lastLog, kResult};
}

TransactionFault Stall(const char* name, WirePoint point, uint32_t skip, const char* lastLog) {
  return {name, [=](WireFaults& f) { f.StallAnswer(point, skip); }, qzlink::kTransactionFailed, lastLog, kLcd};
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TransactionFaultTest,
    ::testing::Values(
        Delay("ReceiveOpenOnTheLastRead", WirePoint::ReceiveOpen, 99999, 0, ""),
        Delay("ReceiveOpenOneReadLateIsRetried", WirePoint::ReceiveOpen, 100000, 0, "PcHandSend() : 1 status!= 58H"),
        Delay("ReceiveCloseLateIsRetried", WirePoint::ReceiveClose, 100002, 0, "PcHandSend() : 5 status!= b0H"),
        // The PC's last read of a failing wait is not compared: an answer that shows on exactly
        // that read is taken by the device as seen, the two sides lose step and the
        // transaction fails.
        TransactionFault{"ReceiveCloseOnTheUncomparedRead",
                         [](WireFaults& f) { f.DelayAnswer(WirePoint::ReceiveClose, 100001); },
                         qzlink::kTransactionFailed, "ABCProcessOne() : B ", kLcd},
        Delay("SendOpenOnTheLastRead", WirePoint::SendOpen, 100000, 0, ""),
        Delay("SendOpenOneReadLateIsRetried", WirePoint::SendOpen, 100001, 0, "PcHandGet() : 1  ERROR!=0"),
        Delay("BodyNibbleLateIsRetried", WirePoint::SendNibble, 200000, 40, "PcHandGet() : 2 ERROR != 1"),
        Stall("RequestNeverTaken", WirePoint::ReceiveOpen, 0, "ABCProcessOne() : A "),
        Stall("RequestHeadStops", WirePoint::ReceivePair, 3, "ABCProcessOne() : A "),
        Stall("RequestBodyNeverCloses", WirePoint::ReceiveClose, 1, "ABCProcessOne() : A "),
        Stall("CommandNeverOffered", WirePoint::SendOpen, 0, "ABCProcessOne() : B "),
        Stall("CommandBodyStops", WirePoint::SendNibble, 30, "ABCProcessOne() : B "),
        Stall("CommandBodyNeverCloses", WirePoint::SendClose, 1, "ABCProcessOne() : B "),
        TransactionFault{"PayloadNibbleCorrupt", [](WireFaults& f) { f.CorruptNibble(20, false); },
                         qzlink::kTransactionCrcMismatch, "ABCProcessOne() : Check sum error.", kResult},
        TransactionFault{"LengthNibbleCorrupt", [](WireFaults& f) { f.CorruptNibble(3, true); },
                         qzlink::kTransactionFailed, "ABCProcessOne() : B ", kLcd},
        TransactionFault{"CrcCorrupt", [](WireFaults& f) { f.CorruptCrc(); }, qzlink::kTransactionCrcMismatch,
                         "ABCProcessOne() : Check sum error.", kResult},
        TransactionFault{"LengthTooLong", [](WireFaults& f) { f.WrongLength(0x60); }, qzlink::kTransactionFailed,
                         "ABCProcessOne() : B ", kLcd},
        TransactionFault{"LengthTooShort", [](WireFaults& f) { f.WrongLength(0x40); }, qzlink::kTransactionFailed,
                         "ABCProcessOne() : B ", kLcd},
        TransactionFault{"UnknownCode", [](WireFaults& f) { f.ReplaceCode(0xA8); }, qzlink::kTransactionDone, "",
                         kResult},
        TransactionFault{"PayloadBitFlipped", [](WireFaults& f) { f.FlipBit(20, 6); },
                         qzlink::kTransactionCrcMismatch, "ABCProcessOne() : Check sum error.", kResult},
        // Shown once without the byte (its closing status read as the last nibble), the body
        // is taken again whole.
        TransactionFault{"PayloadByteDroppedIsRetried", [](WireFaults& f) { f.DropByte(20); },
                         qzlink::kTransactionDone, "PcHandGet() : 3 STATUS!=A0H", kResult},
        // The device drops the PC's request, which the PC cannot tell: it waits for a command.
        TransactionFault{"RequestLengthTakenWrong", [](WireFaults& f) { f.DamageTaken(4, 0x01); },
                         qzlink::kTransactionFailed, "ABCProcessOne() : B ", kLcd},
        TransactionFault{"RequestByteMissed", [](WireFaults& f) { f.DropTaken(7, 1); }, qzlink::kTransactionFailed,
                         "ABCProcessOne() : B ", kLcd}),
    [](const auto& info) { return std::string(info.param.name); });

// Lines stuck low hide the poll's second answer from the PC, which gives up after its 30,000
// reads, while the device counts it seen and waits for the poll code: the next poll's start
// (data 0x00) is no poll code, and begins that poll afresh.
TEST_F(WireTest, PollStartedWhileTheDeviceAwaitsThePollCodeBeginsAfresh) {
  wire().QueueCommand(0xA7, std::vector<uint8_t>{1, 1});
  wire().faults().StickLines(0xF8, 0x00, 30000, 1);
  EXPECT_EQ(qzlink::PollDevice(kBase, qzlink::kPollCode), qzlink::kPollNoAnswer);
  EXPECT_EQ(Tick(), qzlink::kTransactionDone);
  ASSERT_EQ(handlers.calls.size(), 1u);
  EXPECT_EQ(handlers.calls[0].name, kResult);
}

TEST_F(WireTest, HalfTakenPacketFromThePcIsTakenAgainWhole) {
  OpenTransaction();
  wire().faults().StallAnswer(WirePoint::ReceivePair, 5);
  const auto packet = *qzlink::BuildPacket(0xE1, RandomBytes(40), 44);
  EXPECT_EQ(qzlink::SendPacket(packet, kBase), 0);
  const size_t before = listener.received.size();

  EXPECT_EQ(qzlink::PollDevice(kBase, qzlink::kPollCode), qzlink::kPollIdle);
  OpenTransaction();
  EXPECT_EQ(qzlink::SendPacket(packet, kBase), 1);
  ASSERT_EQ(listener.received.size(), before + 2);  // the request, then the packet
  EXPECT_EQ(listener.received.back(), packet);
}

}  // namespace
}  // namespace programmertest
