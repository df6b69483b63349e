// The update tool's link variant against a scripted port: the CRC field of its frames, the
// probe's read bounds, and every way out of the long wait and its release.
#include "link/UpdateLink.h"

#include <string>
#include <vector>

#include "link/LinkPacket.h"
#include "platform/portio/FloatingPort.h"
#include "tests/link/ScriptedPort.h"
#include "tests/support/SteppingClock.h"

namespace linktest {
namespace {

using ::testing::ElementsAre;
using qzlink::StopProbeResult;

std::string FieldText(const std::vector<uint8_t>& bytes) {
  const auto field = qzlink::CrcField(bytes.data(), bytes.size(), qzlink::kUpdateFrames);
  return std::string(field.begin(), field.end());
}

// --- frames ---

struct CrcCase {
  std::vector<uint8_t> bytes;
  uint32_t crcRegister;
  const char* field;
};

class UpdateCrcField : public ::testing::TestWithParam<CrcCase> {};

TEST_P(UpdateCrcField, IsTheLeadingTextOfTheWholeRegister) {
  const CrcCase& c = GetParam();
  EXPECT_EQ(qzlink::Crc16Register(c.bytes.data(), c.bytes.size()), c.crcRegister);
  EXPECT_EQ(FieldText(c.bytes), c.field);
  // The low half is always the console's CRC-16.
  EXPECT_EQ(qzlink::Crc16(c.bytes.data(), c.bytes.size()), c.crcRegister & 0xFFFF);
}

INSTANTIATE_TEST_SUITE_P(
    KnownFrames, UpdateCrcField,
    ::testing::Values(CrcCase{{0xA1, '0', '0', '0', '4'}, 0xB96A1A3B, "B96A"},  // device information
                      CrcCase{{0xE0, '0', '0', '0', '4'}, 0x9372A102, "9372"},  // acknowledge, end
                      CrcCase{{0xFF, '0', '0', '0', '4'}, 0xFCBDC0A1, "FCBD"},  // negative acknowledge
                      CrcCase{{'1', '2', '3', '4', '5', '6', '7', '8', '9'}, 0x869031C3, "8690"},
                      CrcCase{{0x11, 0x00}, 0x23042, "2304"},  // five digits: the first four
                      CrcCase{{'1'}, 0x2672, "2672"},           // at most 0xFFFF: the CRC-16 itself
                      CrcCase{{}, 0, "0000"}));

TEST(UpdateFrames, CarryTheUpdateFieldAndAreTakenWithoutComparingIt) {
  const qzlink::LinkPacket request = *qzlink::BuildPacket(0xA1, {}, 4, qzlink::kUpdateFrames);
  EXPECT_EQ(std::string(request.begin(), request.end()), "\xA1" "0004B96A");
  EXPECT_TRUE(qzlink::CrcFieldMatches(request, qzlink::kUpdateFrames));
  EXPECT_FALSE(qzlink::CrcFieldMatches(request, qzlink::kConsoleFrames));
  const qzlink::LinkPacket console = *qzlink::BuildPacket(0xA1, {}, 4);
  EXPECT_EQ(std::string(console.begin(), console.end()), "\xA1" "00041A3B");
  EXPECT_FALSE(qzlink::CrcFieldMatches(console, qzlink::kUpdateFrames));
}

using UpdateReceive = ScriptedPortTest;

TEST_F(UpdateReceive, AFrameWhoseFieldMatchesNothingIsStillReceived) {
  const std::vector<uint8_t> frame{0xE0, '0', '0', '0', '6', '9', '0', 'Z', 'Z', 'Z', 'Z'};
  port->GivesBytes({frame.begin(), frame.begin() + 5}).GivesBytes({frame.begin() + 5, frame.end()});
  qzlink::LinkPacket reply;
  EXPECT_EQ(qzlink::PcGetQz710Data(kBase, reply, qzlink::kUpdateFrames), qzlink::kReceived);
  EXPECT_EQ(reply, frame);
  EXPECT_TRUE(log.empty());
}

// --- the probe ---

class ProbeTest : public ScriptedPortTest {};

TEST_F(ProbeTest, ReadyWithinSixThousandReadsAndAnswerWithinThreeHundredThousand) {
  port->Show(0x00, 5999).Show(0x80 | 0x05).Show(0x00, 299999).Show(0xE0 | 0x03);
  EXPECT_EQ(qzlink::ProbeDevice(kBase), qzlink::kProbeAnswered);
  EXPECT_THAT(port->writes, ElementsAre(Data(0x39), Data(0x93)));
  EXPECT_EQ(port->statusReads, 6000u + 300000u);
}

TEST_F(ProbeTest, OneReadTooManyAtEitherWaitIsNoAnswer) {
  port->Show(0x00, 6000).Show(0x80);
  EXPECT_EQ(qzlink::ProbeDevice(kBase), qzlink::kProbeNoAnswer);
  EXPECT_EQ(port->statusReads, 6000u);
  EXPECT_TRUE(port->writes.empty());

  port->writes.clear();
  port->statusReads = 0;
  // The 0x80 left over from above makes the port ready at the first read.
  port->Show(0x00, 300000).Show(0xE0);
  EXPECT_EQ(qzlink::ProbeDevice(kBase), qzlink::kProbeNoAnswer);
  EXPECT_EQ(port->statusReads, 1u + 300000u);
  EXPECT_THAT(port->writes, ElementsAre(Data(0x39)));
}

TEST_F(ProbeTest, A0RefusesAtOnce) {
  port->Show(0x00, 10).Show(0xA0 | 0x07).Show(0x80);
  EXPECT_EQ(qzlink::ProbeDevice(kBase), qzlink::kProbeRefused);
  EXPECT_EQ(port->statusReads, 11u);
  EXPECT_TRUE(port->writes.empty());
}

// --- the scan ---

TEST(PortScan, ReportsTheLastPortWithABaseWhenNothingAnswers) {
  std::vector<portio::VirtualPortBackend::Port> ports;
  ports.push_back({0x378, std::make_unique<portio::FloatingPort>()});
  ports.push_back({0, std::make_unique<portio::FloatingPort>()});
  portio::OpenVirtualPorts(std::move(ports));
  uint32_t base = 0;
  EXPECT_EQ(qzlink::FindDevicePort(base), 1);
  EXPECT_EQ(base, 0x378u);
  portio::CloseVirtualPort();

  portio::OpenVirtualPort(std::make_unique<portio::FloatingPort>(), 0);
  base = 0;
  EXPECT_EQ(qzlink::FindDevicePort(base), 0);
  EXPECT_EQ(base, 0u);
  portio::CloseVirtualPort();
}

// --- the long wait ---

class WaitDoneTest : public ScriptedPortTest {
 protected:
  void SetUp() override {
    ScriptedPortTest::SetUp();
    qzlink::SetStopProbe([this] {
      ++probes;
      if (presses.empty()) return StopProbeResult::None;
      const StopProbeResult next = presses.front();
      presses.erase(presses.begin());
      return next;
    });
    qzlink::SetOnStop([this] { ++stops; });
  }
  void TearDown() override {
    qzlink::SetStopProbe({});
    qzlink::SetOnStop({});
    qzlink::StopRequested = 0;
    ScriptedPortTest::TearDown();
  }

  // One cycle up to the programmer's verdict.
  ScriptedPort& Cycle(uint8_t verdict) { return port->Show(0x30 | 0x02).Show(0xB8 | 0x01).Show(0x48 | 0x06).Show(verdict | 0x05); }

  std::vector<StopProbeResult> presses;
  int probes = 0;
  int stops = 0;
  testsupport::SteppingClock clock{100};
};

TEST_F(WaitDoneTest, DoneAndFailureAreReleased) {
  Cycle(0xE8).Show(0x78 | 0x01);
  EXPECT_EQ(qzlink::WaitDeviceDone(10, kBase), qzlink::kWaitDone);
  EXPECT_THAT(port->writes, ElementsAre(Data(0x94), Data(0x49), Data(0x94), Data(0x49), Control(0x03), Data(0x00),
                                        Control(0x0C)));
  port->writes.clear();
  Cycle(0xC0).Show(0x00, 5).Show(0x78);
  EXPECT_EQ(qzlink::WaitDeviceDone(10, kBase), qzlink::kWaitFailed);
  EXPECT_EQ(port->writes.back(), Control(0x0C));
  EXPECT_EQ(probes, 0);
}

TEST_F(WaitDoneTest, BusyCyclesUntilDoneWhileTheEventsAreLookedAt) {
  Cycle(0x18).Show(0x18, 40);
  Cycle(0x18).Show(0x18, 9);
  Cycle(0xE8).Show(0x78);
  EXPECT_EQ(qzlink::WaitDeviceDone(10, kBase), qzlink::kWaitDone);
  // One look at the events before every busy read after the first.
  EXPECT_EQ(probes, 40 + 9);
  EXPECT_TRUE(port->ScriptDone());
}

TEST_F(WaitDoneTest, TheFirstWaitWritesTheControlLinesBetweenItsReads) {
  port->Show(0x00, 999999);
  Cycle(0xE8).Show(0x78);
  EXPECT_EQ(qzlink::WaitDeviceDone(10, kBase), qzlink::kWaitDone);
  EXPECT_EQ(port->ControlWriteCount(), 999999u + 2u);

  port->writes.clear();
  port->Show(0x00, 1000000);
  Cycle(0xE8);
  EXPECT_EQ(qzlink::WaitDeviceDone(10, kBase), qzlink::kWaitLost);
  EXPECT_EQ(port->ControlWriteCount(), 999999u);
  EXPECT_THAT(port->DataWrites(), ElementsAre(0x00));
}

TEST_F(WaitDoneTest, EachCycleWaitGivesUpAfterAMillionReads) {
  for (int step = 0; step < 3; ++step) {
    port->writes.clear();
    port->Show(0x30);
    const uint8_t answers[] = {0xB8, 0x48, 0xE8};
    for (int s = 0; s < step; ++s) port->Show(answers[s]);
    port->Show(0x00, 1000000).Show(answers[step]);
    EXPECT_EQ(qzlink::WaitDeviceDone(10, kBase), qzlink::kWaitLost) << step;
    EXPECT_EQ(port->writes.back(), Data(0x00)) << step;
    EXPECT_EQ(port->DataWrites().size(), static_cast<size_t>(step + 2)) << step;
    port->Show(0x00, 0);
    while (!port->ScriptDone()) port->Read(portio::LptRegister::Status);
  }
}

TEST_F(WaitDoneTest, BusyPastTheLimitEndsWithoutRelease) {
  Cycle(0x18).Show(0x18, 100000);
  EXPECT_EQ(qzlink::WaitDeviceDone(2, kBase), qzlink::kWaitTimedOut);
  // 100 ms a look at the clock: the first look starts the phase at 0 s, the 29th after it
  // reads 3 s, past the limit of 2.
  EXPECT_EQ(probes, 29);
  EXPECT_EQ(port->ControlWriteCount(), 0u);
}

TEST_F(WaitDoneTest, EachBusyPhaseHasTheWholeLimitToItself) {
  // Twenty phases of half a second each, ten seconds together against a limit of 2.
  const auto shortPhases = [this] {
    for (int i = 0; i < 20; ++i) Cycle(0x18).Show(0x18, 4);
  };
  shortPhases();
  Cycle(0xE8).Show(0x78);
  EXPECT_EQ(qzlink::WaitDeviceDone(2, kBase), qzlink::kWaitDone);
  EXPECT_TRUE(port->ScriptDone());

  // The same on a clock started afresh, then one phase that never ends: it gets its own 2 s.
  // Each short phase reads the clock 5 times, so the long one starts at a whole second plus
  // 100 ms, as in BusyPastTheLimitEndsWithoutRelease, and runs out after as many looks.
  probes = 0;
  testsupport::SteppingClock fresh{100};
  shortPhases();
  Cycle(0x18).Show(0x18, 100000);
  EXPECT_EQ(qzlink::WaitDeviceDone(2, kBase), qzlink::kWaitTimedOut);
  EXPECT_EQ(probes, 20 * 4 + 29);
}

TEST_F(WaitDoneTest, StopEndsAProgrammerThatIsBusyAndReadyAtOnceForEver) {
  // Each busy phase ends at its first read, yet takes one event: the Stop at the 500th is
  // seen, where the time limit never runs out.
  presses.assign(499, StopProbeResult::None);
  presses.push_back(StopProbeResult::StopPressed);
  for (int i = 0; i < 501; ++i) Cycle(0x18);
  port->Show(0x78);
  EXPECT_EQ(qzlink::WaitDeviceDone(1, kBase), qzlink::kWaitStopped);
  EXPECT_EQ(probes, 500);
  EXPECT_EQ(stops, 1);
  EXPECT_TRUE(port->ScriptDone());
  EXPECT_THAT(std::vector<PortWrite>(port->writes.end() - 4, port->writes.end()),
              ElementsAre(Data(0x99), Control(0x03), Data(0x00), Control(0x0C)));
}

TEST_F(WaitDoneTest, SettingTheWallClockBackDoesNotStretchTheLimit) {
  qzlink::SetStopProbe([this] {
    clock.wallSeconds -= 3600;
    ++probes;
    return StopProbeResult::None;
  });
  Cycle(0x18).Show(0x18, 100000);
  EXPECT_EQ(qzlink::WaitDeviceDone(2, kBase), qzlink::kWaitTimedOut);
  EXPECT_EQ(probes, 29);
}

TEST_F(WaitDoneTest, StopIsActedOnInTheNextCycleWhateverTheVerdict) {
  presses = {StopProbeResult::None, StopProbeResult::StopPressed};
  Cycle(0x18).Show(0x18, 5);
  Cycle(0xE8).Show(0x78);
  EXPECT_EQ(qzlink::WaitDeviceDone(10, kBase), qzlink::kWaitStopped);
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(qzlink::StopRequested, 0);
  EXPECT_THAT(port->writes, ElementsAre(Data(0x94), Data(0x49), Data(0x94), Data(0x49), Data(0x94), Data(0x49),
                                        Data(0x94), Data(0x99), Control(0x03), Data(0x00), Control(0x0C)));
}

TEST_F(WaitDoneTest, AnotherPressBeforeTheNextCycleCancelsTheStop) {
  presses = {StopProbeResult::StopPressed, StopProbeResult::None, StopProbeResult::OtherPress};
  Cycle(0x18).Show(0x18, 5);
  Cycle(0xE8).Show(0x78);
  EXPECT_EQ(qzlink::WaitDeviceDone(10, kBase), qzlink::kWaitDone);
  EXPECT_EQ(stops, 1);
}

TEST_F(WaitDoneTest, AStopLeftFromAnEarlierRunStopsNothing) {
  // A Stop in the busy phase of a wait that then timed out stays set...
  presses = {StopProbeResult::StopPressed};
  Cycle(0x18).Show(0x18, 100000);
  EXPECT_EQ(qzlink::WaitDeviceDone(1, kBase), qzlink::kWaitTimedOut);
  EXPECT_EQ(qzlink::StopRequested, 1);
  // ...and the next wait forgets it.
  port->Show(0x00, 0);
  while (!port->ScriptDone()) port->Read(portio::LptRegister::Status);
  Cycle(0xE8).Show(0x78);
  EXPECT_EQ(qzlink::WaitDeviceDone(10, kBase), qzlink::kWaitDone);
}

TEST_F(WaitDoneTest, AReleaseThatIsNeverAnsweredGivesUpAfterThreeSeconds) {
  port->Show(0x00, 1000);
  EXPECT_EQ(qzlink::ReleaseHandshake(kBase), 0);
  EXPECT_THAT(port->writes, ElementsAre(Control(0x03)));
  // 100 ms a look: the start, then 29 reads and looks until one reads 3 s.
  EXPECT_EQ(port->statusReads, 29u);
}

}  // namespace
}  // namespace linktest
