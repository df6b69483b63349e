// The virtual programmer's firmware through the real wire: a stand-in console that polls,
// acknowledges every command, answers key requests from a script and serves the buffer
// transfers with the console's own code.
#include <algorithm>
#include <deque>

#include "console/core/BufferTransfer.h"
#include "programmer/MenuModel.h"
#include "tests/support/RecordingTransferSite.h"
#include "tests/programmer/WireFixture.h"

namespace programmertest {
namespace {

using ::testing::ElementsAre;
using programmer::Firmware;
using programmer::LcdScreen;
using programmer::MenuModel;
using programmer::Verdict;
using qzlink::LinkPacket;

struct Command {
  uint8_t code;
  std::vector<uint8_t> payload;
};

// Acknowledges like the console; key requests are answered with the next scripted pair, or
// (0, 0xFF) when the script is empty.
class ConsoleStandIn : public qzlink::CommandHandlers {
 public:
  void ReShowLCDCommand(LinkPacket p) override { Acknowledge(std::move(p)); }
  void GetKeyCodeCommand() override {
    std::vector<uint8_t> reply = {0x00, 0xFF};
    if (!keys.empty()) {
      reply = keys.front();
      keys.pop_front();
    }
    commands.push_back({0xA1, reply});
    qzlink::SendNewPacket(qzlink::kAcknowledgeCode, reply, 6, kBase);
  }
  void QZSendReadDataCommand(LinkPacket p) override { Serve(std::move(p), console::ServeReadAll); }
  void QZGetProgramDataCommand(LinkPacket p) override { Serve(std::move(p), console::ServeProgramAll); }
  void QZSendMenuDataCommand(LinkPacket p) override { Acknowledge(std::move(p)); }
  void QZSendReadDataSegmentCommand(LinkPacket p) override { Serve(std::move(p), console::ServeReadSegment); }
  void QZGetProgramDataSegmentCommand(LinkPacket p) override { Serve(std::move(p), console::ServeProgramSegment); }
  void QZSendStatusDataCommandA7(LinkPacket p) override { Acknowledge(std::move(p)); }

  std::vector<uint8_t> Codes() const {
    std::vector<uint8_t> codes;
    for (const Command& command : commands) codes.push_back(command.code);
    return codes;
  }

  std::deque<std::vector<uint8_t>> keys;
  std::vector<Command> commands;
  RecordingTransferSite site;
  console::LinkState state = [] {
    console::LinkState fresh;
    fresh.LptBase = kBase;
    return fresh;
  }();

 private:
  using Transfer = void (*)(std::span<const uint8_t>, console::LinkState&, console::TransferSite&);
  void Serve(LinkPacket packet, Transfer transfer) {
    const std::span<const uint8_t> payload = qzlink::PacketPayload(packet);
    commands.push_back({packet[0], {payload.begin(), payload.end()}});
    transfer(payload, state, site);
  }

  void Acknowledge(LinkPacket packet) {
    const std::span<const uint8_t> payload = qzlink::PacketPayload(packet);
    commands.push_back({packet[0], {payload.begin(), payload.end()}});
    qzlink::SendNewPacket(qzlink::kAcknowledgeCode, {}, 4, kBase);
  }
};

class FirmwareTest : public ::testing::Test {
 protected:
  FirmwareTest() {
    auto device = std::make_unique<programmer::VirtualProgrammer>();
    device_ = device.get();
    portio::OpenVirtualPort(std::move(device), kBase);
  }
  ~FirmwareTest() override {
    portio::CloseVirtualPort();
  }

  int Tick(uint8_t pollCode = qzlink::kPollCode) {
    const int poll = qzlink::PollDevice(kBase, pollCode);
    if (poll == qzlink::kPollHasCommand)
      qzlink::ABCProcessOne(*qzlink::BuildPacket(qzlink::kRequestCode, {}, 4), kBase, console);
    return poll;
  }
  // Polls until the programmer has nothing to say.
  void Settle() {
    for (int i = 0; i < 50; ++i)
      if (Tick() == qzlink::kPollIdle) return;
    FAIL() << "the programmer kept talking";
  }
  // Hands one key (and selection) to the programmer when it asks.
  void Hand(uint8_t key, uint8_t selection = 0xFF) {
    console.keys.push_back({key, selection});
    EXPECT_EQ(Tick(qzlink::kPollCodeKeyWaiting), qzlink::kPollHasCommand);
  }
  // The same, and the programmer shows the outcome.
  void Press(uint8_t key, uint8_t selection = 0xFF) {
    Hand(key, selection);
    Settle();
  }
  const Command& Last(uint8_t code) const {
    for (auto it = console.commands.rbegin(); it != console.commands.rend(); ++it)
      if (it->code == code) return *it;
    throw std::runtime_error("no such command");
  }
  std::string LcdLine(int row) const {
    const std::vector<uint8_t>& lcd = Last(0xA0).payload;
    return std::string(lcd.begin() + row * 20, lcd.begin() + row * 20 + 20);
  }

  Firmware& firmware() { return device_->firmware(); }

  ConsoleStandIn console;
  programmer::VirtualProgrammer* device_ = nullptr;
};

TEST_F(FirmwareTest, PowerUpSendsTheMenuThenTheScreenThenWaits) {
  Settle();
  EXPECT_THAT(console.Codes(), ElementsAre(0xA4, 0xA0));
  const std::vector<uint8_t>& menu = console.commands[0].payload;
  ASSERT_EQ(menu.size(), 21u + 8 * 20);
  EXPECT_EQ(std::string(menu.begin(), menu.begin() + 10), std::string("MAIN MENU\0", 10));
  EXPECT_EQ(menu[20], 8);
  EXPECT_EQ(std::string(menu.begin() + 21 + 6 * 20, menu.begin() + 21 + 6 * 20 + 12), "READ (TO PC)");
  EXPECT_EQ(console.commands[1].payload.size(), 81u);
  EXPECT_EQ(LcdLine(1), "\x01" "0.AUTO             ");
  EXPECT_EQ(console.commands[1].payload[80], 20);
  EXPECT_EQ(Tick(), qzlink::kPollIdle);
}

TEST_F(FirmwareTest, KeysAreFetchedOnlyWhileTheConsoleSaysOneWaits) {
  Settle();
  EXPECT_EQ(Tick(qzlink::kPollCode), qzlink::kPollIdle);
  EXPECT_EQ(Tick(qzlink::kPollCodeKeyWaiting), qzlink::kPollHasCommand);
  EXPECT_EQ(console.commands.back().code, 0xA1);
  EXPECT_THAT(firmware().keyReplies(), ElementsAre(std::pair<uint8_t, uint8_t>(0x00, 0xFF)));
}

TEST_F(FirmwareTest, ArrowsDigitsAndEscMoveTheCursor) {
  Settle();
  Press(0x1F);  // down
  EXPECT_EQ(firmware().menu().cursor(), 1u);
  EXPECT_EQ(LcdLine(2), "\x01" "1.PROGRAM          ");
  Press(0x15);  // digit 5: the window scrolls
  EXPECT_EQ(LcdLine(1), " 3.ERASE            ");
  EXPECT_EQ(LcdLine(3), "\x01" "5.CHECKSUM         ");
  EXPECT_EQ(Last(0xA0).payload[80], 60);
  Press(0x19);  // digit 9 names no item
  EXPECT_EQ(firmware().menu().cursor(), 5u);
  Press(0x1A);  // key A means nothing here
  EXPECT_EQ(firmware().menu().cursor(), 5u);
  Press(0x20);  // ESC: back to the top
  EXPECT_EQ(firmware().menu().cursor(), 0u);
  Press(0x1B);  // up wraps round
  EXPECT_EQ(firmware().menu().cursor(), 7u);
}

TEST_F(FirmwareTest, SelectionFromThePcMovesTheCursorBeforeTheKeyActs) {
  Settle();
  Press(0x00, 4);
  EXPECT_EQ(firmware().menu().cursor(), 4u);
  Press(0x00, 8);  // no such item
  EXPECT_EQ(firmware().menu().cursor(), 4u);
  Press(0x23, 2);
  EXPECT_EQ(firmware().state(), Firmware::State::Running);
  EXPECT_EQ(firmware().jobItem(), 2u);
}

TEST_F(FirmwareTest, JobRunsItsPollsThenShowsAndReportsTheVerdict) {
  firmware().settings().jobPolls = 10;
  firmware().settings().verdict = Verdict::Fail;
  Settle();
  Hand(0x23);
  EXPECT_EQ(firmware().state(), Firmware::State::Running);
  int polls = 0;
  while (firmware().state() == Firmware::State::Running && polls < 20) {
    Tick();
    ++polls;
    if (polls == 1) {
      EXPECT_EQ(LcdLine(0), "AUTO                ");
      EXPECT_EQ(LcdLine(1), "Running...          ");
    }
  }
  EXPECT_EQ(polls, 10);
  Settle();
  EXPECT_EQ(LcdLine(1), "FAIL                ");
  EXPECT_THAT(Last(0xA7).payload, ElementsAre(1, 0));
  // The result screen goes out before the result.
  EXPECT_EQ(console.commands[console.commands.size() - 2].code, 0xA0);
  Press(0x15);  // any key leaves it
  EXPECT_EQ(firmware().state(), Firmware::State::Menu);
  EXPECT_EQ(firmware().menu().cursor(), 0u);
}

// AUTO FROM PC: ENTER on the result screen runs the next job, which fetches the buffer again;
// every third fails; any other key leaves for the menu; a job that never answers runs on.
TEST_F(FirmwareTest, AutoFromPcRunsJobAfterJobOnEnter) {
  firmware().settings().jobPolls = 3;
  firmware().settings().failEvery = 3;
  {
    const buffer::BufferLock lock(console.site.data);
    for (uint32_t i = 0; i < 0x10000; ++i) lock.data()[i] = static_cast<uint8_t>(i * 7);
  }
  Settle();
  Press(0x00, 7);
  std::vector<std::vector<uint8_t>> verdicts;
  for (int job = 0; job < 4; ++job) {
    Hand(0x23);
    for (int i = 0; i < 40 && firmware().state() != Firmware::State::Result; ++i) Tick();
    Settle();
    verdicts.push_back(Last(0xA7).payload);
    EXPECT_EQ(firmware().jobItem(), 7u);
  }
  EXPECT_THAT(verdicts, ElementsAre(ElementsAre(1, 1), ElementsAre(1, 1), ElementsAre(1, 0), ElementsAre(1, 1)));
  EXPECT_EQ(firmware().jobsRun(), 4u);
  const std::vector<uint8_t> codes = console.Codes();
  EXPECT_EQ(std::count(codes.begin(), codes.end(), 0xA3), 4);
  EXPECT_EQ(firmware().chip(), console.site.Bytes(0, 0x10000));

  Press(0x15);
  EXPECT_EQ(firmware().state(), Firmware::State::Menu);
  EXPECT_EQ(firmware().menu().cursor(), 7u);

  firmware().settings().neverAnswer = true;
  Hand(0x23);
  for (int i = 0; i < 200; ++i) Tick();
  EXPECT_EQ(firmware().state(), Firmware::State::Running);
  EXPECT_EQ(LcdLine(2), std::string(10, '\x10') + "   100%   ");
}

TEST_F(FirmwareTest, ProgressBarFillsAsTheJobRunsAndEscAbortsIt) {
  firmware().settings().jobPolls = 20;
  Settle();
  Hand(0x23);
  for (int i = 0; i < 10; ++i) Tick();
  EXPECT_EQ(LcdLine(2), std::string(5, '\x10') + "        50%    ");
  Hand(0x20);  // ESC: no verdict
  Settle();
  EXPECT_THAT(Last(0xA7).payload, ElementsAre(0, 0));
  EXPECT_EQ(LcdLine(1), "NO VERDICT          ");
}

TEST(MenuModelTest, PayloadPadsEveryTextToTwentyBytes) {
  const MenuModel menu("TITLE", {"A", std::string(20, 'B')});
  const std::vector<uint8_t> payload = menu.Payload();
  ASSERT_EQ(payload.size(), 61u);
  EXPECT_EQ(payload[5], 0);
  EXPECT_EQ(payload[20], 2);
  EXPECT_EQ(payload[21], 'A');
  EXPECT_EQ(payload[22], 0);
  EXPECT_EQ(payload[41], 'B');
  EXPECT_EQ(payload[60], 'B');
}

TEST(MenuModelTest, RefusesWhatTheMenuCommandCannotCarry) {
  EXPECT_THROW(MenuModel("T", {}), std::invalid_argument);
  EXPECT_THROW(MenuModel("T", std::vector<std::string>(11, "X")), std::invalid_argument);
  EXPECT_THROW(MenuModel(std::string(21, 'T'), {"X"}), std::invalid_argument);
  EXPECT_THROW(MenuModel("T", {std::string(21, 'X')}), std::invalid_argument);
}

TEST(MenuModelTest, ShortMenuLeavesTheLowerLinesBlank) {
  MenuModel menu("T", {"ONLY"});
  LcdScreen lcd;
  lcd.SetLine(3, "OLD");
  menu.Render(lcd);
  EXPECT_EQ(lcd.Line(1), "\x01" "0.ONLY             ");
  EXPECT_EQ(lcd.Line(2), std::string(20, ' '));
  EXPECT_EQ(lcd.Line(3), std::string(20, ' '));
  menu.Down();
  EXPECT_EQ(menu.cursor(), 0u);
}

TEST(LcdScreenTest, TextIsCutAtTheEdgeOfTheDisplay) {
  LcdScreen lcd;
  lcd.SetLine(0, std::string(25, 'X'));
  lcd.Write(1, 18, "ABCD");
  lcd.Write(4, 0, "nowhere");
  lcd.Write(1, 20, "nowhere");
  EXPECT_EQ(lcd.Line(0), std::string(20, 'X'));
  EXPECT_EQ(lcd.Line(1), std::string(18, ' ') + "AB");
  EXPECT_EQ(lcd.Line(2), std::string(20, ' '));
  const std::vector<uint8_t> payload = lcd.Payload();
  ASSERT_EQ(payload.size(), 81u);
  EXPECT_EQ(payload[80], programmer::kLcdNoCursor);
  lcd.SetCursor(3, 19);
  EXPECT_EQ(lcd.Payload()[80], 79);
}

}  // namespace
}  // namespace programmertest
