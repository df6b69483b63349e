#include "link/Transaction.h"

#include <string>

#include "tests/link/RecordingHandlers.h"
#include "tests/link/ScriptedPort.h"

namespace linktest {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;
using qzlink::ABCProcessOne;
using qzlink::BuildPacket;
using qzlink::LinkPacket;

class TransactionTest : public ScriptedPortTest {
 protected:
  static LinkPacket Request() { return *BuildPacket(qzlink::kRequestCode, {}, 4); }

  // The device takes the request and answers with `command`.
  void DeviceAnswers(const LinkPacket& command) {
    port->TakesPairs(6).TakesPairs(4);
    port->GivesBytes({command.begin(), command.begin() + 5}).GivesBytes({command.begin() + 5, command.end()});
  }

  RecordingHandlers handlers;
};

struct Route {
  uint8_t code;
  const char* handler;
};

class DispatchTest : public TransactionTest, public ::testing::WithParamInterface<Route> {};

TEST_P(DispatchTest, HandsThePacketToItsHandler) {
  const auto command = *BuildPacket(GetParam().code, std::vector<uint8_t>{9, 8, 7}, 7);
  DeviceAnswers(command);
  EXPECT_EQ(ABCProcessOne(Request(), kBase, handlers), qzlink::kTransactionDone);
  ASSERT_EQ(handlers.calls.size(), 1u);
  EXPECT_EQ(handlers.calls[0].name, GetParam().handler);
  EXPECT_EQ(handlers.calls[0].packet, command);
  EXPECT_TRUE(log.empty());
}

INSTANTIATE_TEST_SUITE_P(Commands, DispatchTest,
                         ::testing::Values(Route{0xA0, "ReShowLCDCommand"}, Route{0xA2, "QZSendReadDataCommand"},
                                           Route{0xA3, "QZGetProgramDataCommand"},
                                           Route{0xA4, "QZSendMenuDataCommand"},
                                           Route{0xA5, "QZSendReadDataSegmentCommand"},
                                           Route{0xA6, "QZGetProgramDataSegmentCommand"},
                                           Route{0xA7, "QZSendStatusDataCommandA7"}));

TEST_F(TransactionTest, KeyRequestHandlerNeverSeesThePayload) {
  DeviceAnswers(*BuildPacket(0xA1, std::vector<uint8_t>{0x55, 0x66}, 6));
  EXPECT_EQ(ABCProcessOne(Request(), kBase, handlers), qzlink::kTransactionDone);
  ASSERT_EQ(handlers.calls.size(), 1u);
  EXPECT_EQ(handlers.calls[0].name, "GetKeyCodeCommand");
}

TEST_F(TransactionTest, CodesWithoutHandlerAreDroppedAsDone) {
  for (uint8_t code : {0xA8, 0x9F, 0x00, 0xFF}) {
    DeviceAnswers(*BuildPacket(code, {}, 4));
    EXPECT_EQ(ABCProcessOne(Request(), kBase, handlers), qzlink::kTransactionDone) << int(code);
  }
  EXPECT_TRUE(handlers.calls.empty());
}

TEST_F(TransactionTest, UnsentRequestTriesNoReceive) {
  EXPECT_EQ(ABCProcessOne(Request(), kBase, handlers), qzlink::kTransactionFailed);
  EXPECT_THAT(log.back(), StartsWith("ABCProcessOne() : A "));
  for (uint8_t value : port->DataWrites()) EXPECT_EQ(value, 0x00);  // no 0x55 of a receive
  EXPECT_TRUE(handlers.calls.empty());
}

TEST_F(TransactionTest, FailedReceiveIsATransferFailure) {
  port->TakesPairs(6).TakesPairs(4);
  EXPECT_EQ(ABCProcessOne(Request(), kBase, handlers), qzlink::kTransactionFailed);
  EXPECT_THAT(log.back(), StartsWith("ABCProcessOne() : B "));
  EXPECT_TRUE(handlers.calls.empty());
}

TEST_F(TransactionTest, CrcMismatchIsReportedAndNothingRuns) {
  auto command = *BuildPacket(0xA0, std::vector<uint8_t>(81, 0x20), 85);
  command[40] = 0x21;
  DeviceAnswers(command);
  EXPECT_EQ(ABCProcessOne(Request(), kBase, handlers), qzlink::kTransactionCrcMismatch);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_THAT(log[0], StartsWith("ABCProcessOne() : B "));
  EXPECT_EQ(log[1], "ABCProcessOne() : Check sum error.");
  EXPECT_TRUE(handlers.calls.empty());
}

}  // namespace
}  // namespace linktest
