#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "link/PortStartup.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/support/FakePorts.h"

namespace {

using namespace qzlink;

// A table as large as the console's, and the port in use.
struct Ports {
  uint32_t LptBase = 0;
  std::array<uint32_t, 7> LptBaseTable{};
};

class PortStartupTest : public ::testing::Test {
 protected:
  void TearDown() override { FakePorts::Remove(); }

  // Opens the installed backend as start-up does and detects its ports.
  Ports Detect(uint32_t lptBaseBefore) {
    winapi::ScriptedMessageBoxes boxes;
    EXPECT_TRUE(OpenPortDriver());
    Ports state;
    state.LptBase = lptBaseBefore;
    state.LptBaseTable.fill(0xDEAD);
    DetectLptPorts(state.LptBaseTable, state.LptBase);
    return state;
  }

  FakePorts::Record record_;
};

TEST_F(PortStartupTest, NoPortLeavesTheBaseAsItWas) {
  FakePorts::Install(true, {}, &record_);
  Ports state = Detect(0);
  EXPECT_EQ(state.LptBase, 0u);
  EXPECT_EQ(state.LptBaseTable[0], 0u);
  EXPECT_EQ(record_.askedNumbers, std::vector<int>({1}));
  // No port of an earlier detection is left in the table.
  for (uint32_t base : state.LptBaseTable) EXPECT_EQ(base, 0u);

  FakePorts::Install(true, {}, &record_);
  EXPECT_EQ(Detect(0x3BC).LptBase, 0x3BCu);
}

TEST_F(PortStartupTest, OnePortBecomesTheBase) {
  FakePorts::Install(true, {0x378}, &record_);
  Ports state = Detect(0);
  EXPECT_EQ(state.LptBase, 0x378u);
  EXPECT_EQ(state.LptBaseTable[0], 0x378u);
  EXPECT_EQ(state.LptBaseTable[1], 0u);
  EXPECT_EQ(record_.askedNumbers, std::vector<int>({1, 2}));
}

TEST_F(PortStartupTest, ThreePortsAreTabledAndTheFirstIsUsed) {
  FakePorts::Install(true, {0x378, 0x278, 0x3BC}, &record_);
  Ports state = Detect(0);
  EXPECT_EQ(state.LptBase, 0x378u);
  EXPECT_EQ(state.LptBaseTable[0], 0x378u);
  EXPECT_EQ(state.LptBaseTable[1], 0x278u);
  EXPECT_EQ(state.LptBaseTable[2], 0x3BCu);
  EXPECT_EQ(state.LptBaseTable[3], 0u);
  EXPECT_EQ(record_.askedNumbers, std::vector<int>({1, 2, 3, 4}));
}

TEST_F(PortStartupTest, APortWithoutBaseIsSkipped) {
  FakePorts::Install(true, {0, 0, 0x3BC});
  EXPECT_EQ(Detect(0).LptBase, 0x3BCu);
  // Only the first three entries choose the base.
  FakePorts::Install(true, {0, 0, 0, 0x278});
  Ports state = Detect(0);
  EXPECT_EQ(state.LptBaseTable[3], 0x278u);
  EXPECT_EQ(state.LptBase, 0u);
}

TEST_F(PortStartupTest, ProbesStopAtTheTablesSize) {
  FakePorts::Install(true, std::vector<uint32_t>(9, 0x378), &record_);
  Ports state = Detect(0);
  EXPECT_EQ(record_.askedNumbers.size(), 7u);
  EXPECT_EQ(state.LptBaseTable[6], 0x378u);
}

TEST_F(PortStartupTest, AnInactiveDriverBeepsWarnsAndStopsTheStart) {
  FakePorts::Install(false, {0x378});
  winapi::ScriptedMessageBoxes boxes;
  boxes.Answer(winapi::IDOK);
  EXPECT_FALSE(OpenPortDriver());
  EXPECT_NE(portio::DriverHandle, 0u);
  ASSERT_EQ(boxes.beeps(), std::vector<unsigned>({0}));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "The driver TVicHW32 can not be found!\nProgram Terminated !");
  EXPECT_EQ(boxes.boxes()[0].caption, " Warning! ");
  EXPECT_EQ(boxes.boxes()[0].flags, unsigned(winapi::MB_OKCANCEL));
  EXPECT_EQ(boxes.boxes()[0].owner, nullptr);
}

// Remembers boxes and beeps in the order they came.
class OrderedBoxes : public winapi::MessageBoxHost {
 public:
  OrderedBoxes() : previous_(winapi::SetMessageBoxHost(this)) {}
  ~OrderedBoxes() override { winapi::SetMessageBoxHost(previous_); }
  int Show(winapi::Owner, const std::string& text, const std::string&, unsigned) override {
    events.push_back("box " + text.substr(0, 10));
    return winapi::IDCANCEL;
  }
  void Beep(unsigned type) override { events.push_back("beep " + std::to_string(type)); }

  std::vector<std::string> events;

 private:
  winapi::MessageBoxHost* previous_;
};

TEST_F(PortStartupTest, TheBeepComesBeforeTheWarningWhicheverButtonCloses) {
  FakePorts::Install(false, {0x378});
  OrderedBoxes boxes;
  EXPECT_FALSE(OpenPortDriver());
  EXPECT_EQ(boxes.events, std::vector<std::string>({"beep 0", "box The driver"}));
}

TEST_F(PortStartupTest, AnActiveDriverOpensSilently) {
  FakePorts::Install(true, {0x378});
  winapi::ScriptedMessageBoxes boxes;
  EXPECT_TRUE(OpenPortDriver());
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_TRUE(boxes.beeps().empty());
  EXPECT_EQ(portio::DriverIsActive(portio::DriverHandle), 1u);
}

}  // namespace
