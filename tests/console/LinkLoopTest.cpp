// The console's link loop end to end: the real main form ticking against the virtual
// programmer on a virtual port, every tick run by calling the timer's handler.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>
#include <functional>
#include <optional>

#include "buffer/DumpEdit.h"
#include "console/GangTool.h"
#include "console/Qz_M_Unit.h"
#include "link/Io_1.h"
#include "platform/portio/PortDriver.h"
#include "platform/portio/VirtualPortBackend.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "programmer/VirtualProgrammer.h"
#include "tests/support/TempDir.h"

namespace {

using namespace console;
using ::testing::ElementsAre;
using ::testing::Pair;
using programmer::Firmware;
using programmer::Verdict;

constexpr uint32_t kBase = 0x378;

// Called on every port access: the register, and the value for a write.
using PortProbe = std::function<void(portio::LptRegister, std::optional<uint8_t>)>;

// The virtual programmer, with a look at every port access the PC makes.
class ProbedProgrammer : public portio::PortDevice {
 public:
  ProbedProgrammer(programmer::VirtualProgrammer& device, PortProbe& probe) : device_(device), probe_(probe) {}
  uint8_t Read(portio::LptRegister reg) override {
    if (probe_) probe_(reg, std::nullopt);
    return device_.Read(reg);
  }
  void Write(portio::LptRegister reg, uint8_t value) override {
    if (probe_) probe_(reg, value);
    device_.Write(reg, value);
  }

 private:
  programmer::VirtualProgrammer& device_;
  PortProbe& probe_;
};

class LinkLoopTest : public ::testing::Test {
 protected:
  LinkLoopTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
    portio::InstallBackend(
        std::make_unique<portio::VirtualPortBackend>(std::make_unique<ProbedProgrammer>(device_, probe_), kBase));
    portio::DriverHandle = 0;
    form_ = std::make_unique<TQZ_M_Form>();
    EXPECT_TRUE(form_->FormCreate());
    buffer::SetMainEditForm(&mainEdit_);
    gangTools_ = std::make_unique<TGangTools>();
    GangTools = gangTools_.get();
    QZ_M_Form = form_.get();
  }
  ~LinkLoopTest() override {
    QZ_M_Form = nullptr;
    GangTools = nullptr;
    buffer::SetMainEditForm(nullptr);
    form_.reset();
    portio::CloseVirtualPort();
    std::filesystem::current_path(previous_);
  }

  void Ticks(int count) {
    for (int i = 0; i < count; ++i) form_->ConnectTimerTimer();
  }
  // Ticks until a tick in which the programmer said nothing (at most `limit` ticks).
  void Settle(int limit = 20) {
    for (int i = 0; i < limit; ++i) {
      const uint64_t before = device_.wire().counts().packetsSent;
      form_->ConnectTimerTimer();
      if (device_.wire().counts().packetsSent == before) return;
    }
    ADD_FAILURE() << "the programmer kept talking for " << limit << " ticks";
  }
  // Ticks until `done` holds; fails the test after `limit` ticks.
  void TickUntil(const std::function<bool()>& done, int limit = 100) {
    for (int i = 0; i < limit && !done(); ++i) form_->ConnectTimerTimer();
    ASSERT_TRUE(done()) << "not reached in " << limit << " ticks";
  }
  // The programmer shows its menu and the first screen.
  void Connect() {
    form_->IdleTimerTimer();
    TickUntil([this] { return LcdLine(1) == std::string("\x01" "0.AUTO") + std::string(13, ' '); });
  }

  Firmware& firmware() { return device_.firmware(); }

  // GANG TOOLS starts a job on a small file: it presses ENTER for the programmer.
  void StartGangJob() {
    dir_.Write("job.bin", std::string(0x100, '\x5A'));
    gangTools_->SetDirectory(dir_.path().string());
    gangTools_->BitBtn4Click();
    gangTools_->GangToolStartButtonClick();
    ASSERT_EQ(GangStatus(), "Processing");
  }
  std::string GangStatus() const {
    return gangTools_->ResultRows().empty() ? "" : gangTools_->ResultRows().back().status;
  }

  std::string LcdLine(int row) const {
    const LcdTextBlock& block = form_->LcdPainBox1->TextBlock();
    return std::string(block.begin() + row * 20, block.begin() + row * 20 + 20);
  }
  std::vector<std::string> MenuItems() const {
    std::vector<std::string> items;
    for (int i = 0; i < form_->MenuListBox->count(); ++i)
      items.push_back(form_->MenuListBox->item(i)->text().toStdString());
    return items;
  }
  QColor PanelColour() const { return form_->ConnectPanel->palette().color(QPalette::Window); }

  TempDir dir_;
  std::filesystem::path previous_;
  winapi::ScriptedMessageBoxes boxes_;
  programmer::VirtualProgrammer device_;
  PortProbe probe_;
  std::unique_ptr<TQZ_M_Form> form_;
  // The buffer the programmer's jobs fetch.
  buffer::TMainEdit mainEdit_;
  std::unique_ptr<TGangTools> gangTools_;
};

TEST_F(LinkLoopTest, ConsoleMirrorsTheProgrammersMenuAndLcd) {
  Ticks(1);
  EXPECT_EQ(form_->MenuLabel->text(), "MAIN MENU");
  EXPECT_THAT(MenuItems(), ElementsAre("[00]AUTO", "[01]PROGRAM", "[02]VERIFY", "[03]ERASE", "[04]BLANK CHECK",
                                       "[05]CHECKSUM", "[06]READ (TO PC)", "[07]AUTO FROM PC"));
  EXPECT_EQ(LcdLine(1), "  GANG PROGRAMMER   ");  // the banner until the first screen

  form_->IdleTimerTimer();
  Ticks(1);
  EXPECT_EQ(LcdLine(0), "MAIN MENU           ");
  EXPECT_EQ(LcdLine(1), "\x01" "0.AUTO             ");
  EXPECT_EQ(LcdLine(2), " 1.PROGRAM          ");
  EXPECT_EQ(LcdLine(3), " 2.VERIFY           ");
  EXPECT_EQ(form_->LcdPainBox1->TextBlock()[kLcdCursorByte], 20);
  EXPECT_EQ(form_->MenuListBox->currentRow(), 0);
  EXPECT_EQ(form_->Label1->text(), "Waiting Time :");
}

TEST_F(LinkLoopTest, ConnectingBlinksWhileTheProgrammerIsIdle) {
  Connect();
  Settle();
  std::vector<QColor> colours;
  for (int i = 0; i < 4; ++i) {
    Ticks(1);
    colours.push_back(PanelColour());
  }
  EXPECT_EQ(form_->ConnectPanel->text(), "Connecting");
  // Every second idle tick changes the colour.
  EXPECT_NE(colours[0], colours[2]);
  EXPECT_EQ(colours[0], colours[3]);
  EXPECT_TRUE(colours[0] == QColor(0, 0, 255) || colours[0] == QColor(0, 128, 0));
  EXPECT_EQ(form_->WaittingProgressBar->Progress(), 0);
}

TEST_F(LinkLoopTest, TimerIsOffForTheWholeTick) {
  int accessesWhileRunning = 0;
  int accesses = 0;
  probe_ = [&](portio::LptRegister, std::optional<uint8_t>) {
    ++accesses;
    if (form_->ConnectTimer->isActive()) ++accessesWhileRunning;
  };
  Ticks(3);  // a poll and transactions
  EXPECT_GT(accesses, 100);
  EXPECT_EQ(accessesWhileRunning, 0);
  EXPECT_TRUE(form_->ConnectTimer->isActive());
  EXPECT_EQ(form_->ConnectTimer->interval(), 60);
}

TEST_F(LinkLoopTest, PollCodeSaysWhetherAKeyWaits) {
  Connect();
  Settle();
  // The poll's third data write is its code.
  std::vector<uint8_t> dataWrites;
  probe_ = [&](portio::LptRegister reg, std::optional<uint8_t> value) {
    if (reg == portio::LptRegister::Data && value) dataWrites.push_back(*value);
  };
  auto pollCodeOfNextTick = [&] {
    dataWrites.clear();
    Ticks(1);
    return dataWrites.size() >= 3 ? dataWrites[2] : -1;
  };
  EXPECT_EQ(pollCodeOfNextTick(), 0x70);
  form_->PressKey(0x1F);
  EXPECT_EQ(pollCodeOfNextTick(), 0x71);  // the programmer fetches it
  EXPECT_EQ(form_->PendingKey, kNoKey);
  EXPECT_EQ(pollCodeOfNextTick(), 0x70);
}

TEST_F(LinkLoopTest, ClickedKeyReachesTheProgrammer) {
  Connect();
  Settle();
  QTest::mouseClick(form_->NUM_3SB, Qt::LeftButton);
  EXPECT_EQ(form_->PendingKey, 0x13);
  Ticks(1);  // the key poll makes the programmer ask for it
  EXPECT_THAT(firmware().keyReplies(), ElementsAre(Pair(0x13, 0xFF)));
  EXPECT_EQ(form_->PendingKey, kNoKey);
  EXPECT_EQ(firmware().menu().cursor(), 3u);
  form_->IdleTimerTimer();
  Ticks(1);
  EXPECT_EQ(LcdLine(3), "\x01" "3.ERASE            ");
  EXPECT_EQ(form_->MenuListBox->currentRow(), 3);
}

TEST_F(LinkLoopTest, KeyboardArrowsMoveTheProgrammersCursor) {
  Connect();
  Settle();
  QTest::keyClick(form_->ListBox1, Qt::Key_Up);  // wraps to the last item
  Ticks(2);
  EXPECT_EQ(firmware().menu().cursor(), 7u);
  EXPECT_EQ(LcdLine(3), "\x01" "7.AUTO FROM PC     ");
  QTest::keyClick(form_->ListBox1, Qt::Key_Down);
  Ticks(2);
  EXPECT_EQ(firmware().menu().cursor(), 0u);
}

TEST_F(LinkLoopTest, SelectedToPcLineRaisesTheFlag) {
  Connect();
  Settle();
  EXPECT_EQ(form_->ToPcFlag, 0);
  form_->PressKey(0x16);  // key 6
  Ticks(2);
  EXPECT_EQ(form_->ToPcFlag, 1);
  EXPECT_EQ(form_->MenuListBox->currentRow(), 6);
}

TEST_F(LinkLoopTest, UsersRecentClickKeepsTheListSelection) {
  Connect();
  Settle();
  form_->MenuListBox->setCurrentRow(5);
  form_->FormMouseDown(Qt::LeftButton);
  EXPECT_EQ(form_->IdleFlag, 0);
  form_->PressKey(0x12);
  Ticks(2);
  EXPECT_EQ(LcdLine(3), "\x01" "2.VERIFY           ");
  EXPECT_EQ(form_->MenuListBox->currentRow(), 5);

  form_->IdleTimerTimer();  // a second later
  EXPECT_EQ(form_->IdleFlag, 1);
  EXPECT_FALSE(form_->IdleTimer->isActive());
  form_->PressKey(0x11);
  Ticks(2);
  EXPECT_EQ(form_->MenuListBox->currentRow(), 1);
}

TEST_F(LinkLoopTest, MenuListModeNeverFollowsTheLcd) {
  form_->MenuListMode = 1;
  form_->IdleTimerTimer();
  Ticks(2);
  EXPECT_EQ(LcdLine(1), "\x01" "0.AUTO             ");
  EXPECT_EQ(form_->MenuListBox->currentRow(), -1);
}

TEST_F(LinkLoopTest, MenuSelectionGoesBeforeAHeldKey) {
  Connect();
  Settle();
  form_->MenuListBoxClick(4);
  form_->ENTERSBClick();
  TickUntil([this] { return firmware().state() == Firmware::State::Running; });
  EXPECT_THAT(firmware().keyReplies(), ElementsAre(Pair(0x00, 0x04), Pair(0x23, 0xFF)));
  EXPECT_EQ(firmware().jobItem(), 4u);
  EXPECT_EQ(form_->PendingKey, kNoKey);
  EXPECT_EQ(form_->MenuSelection, kNoSelection);
}

struct VerdictRow {
  Verdict verdict;
  const char* status;  // GANG TOOLS' result row
  const char* shown;   // the programmer's LCD
};

class JobResultTest : public LinkLoopTest, public ::testing::WithParamInterface<VerdictRow> {};

TEST_P(JobResultTest, JobResultEndsTheGangToolsRow) {
  firmware().settings().jobPolls = 12;
  firmware().settings().verdict = GetParam().verdict;
  Connect();
  Settle();
  StartGangJob();
  TickUntil([this] { return GangStatus() != "Processing"; });
  EXPECT_EQ(GangStatus(), GetParam().status);
  EXPECT_EQ(LcdLine(0), "AUTO                ");
  EXPECT_EQ(LcdLine(1).substr(0, std::string(GetParam().shown).size()), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Verdicts, JobResultTest,
                         ::testing::Values(VerdictRow{Verdict::Pass, "Finished", "PASS"},
                                           VerdictRow{Verdict::Fail, "Fail", "FAIL"},
                                           VerdictRow{Verdict::None, "Time out", "NO VERDICT"}));

TEST_F(LinkLoopTest, JobShowsItsProgressAndEscAbortsItWithoutVerdict) {
  firmware().settings().jobPolls = 1000;
  Connect();
  Settle();
  StartGangJob();
  TickUntil([this] { return LcdLine(1) == "Running...          " && LcdLine(2).find('%') != std::string::npos; });
  TickUntil([this] { return LcdLine(2)[0] == 0x10; }, 200);  // the bar's first cell
  EXPECT_EQ(GangStatus(), "Processing");
  form_->ESCSBClick();
  TickUntil([this] { return GangStatus() != "Processing"; });
  EXPECT_EQ(GangStatus(), "Time out");
  form_->ESCSBClick();  // any key leaves the result screen
  TickUntil([this] { return LcdLine(1) == std::string("\x01" "0.AUTO") + std::string(13, ' '); });
}

TEST_F(LinkLoopTest, UnpluggedProgrammerShowsDisconnectingAndRecovers) {
  Connect();
  Settle();
  device_.wire().SetPresent(false);
  Ticks(50);
  EXPECT_EQ(form_->WaittingProgressBar->Progress(), 200);
  EXPECT_EQ(form_->WaittingProgressBar->ForeColor(), kRed);
  EXPECT_EQ(form_->ConnectPanel->text(), "Connecting");
  Ticks(1);
  EXPECT_EQ(form_->ConnectPanel->text(), "Disconnecting");
  EXPECT_EQ(PanelColour(), QColor(255, 0, 0));
  // A key pressed meanwhile waits for the programmer.
  form_->PressKey(0x12);

  device_.wire().SetPresent(true);
  Ticks(1);
  EXPECT_EQ(form_->WaittingProgressBar->Progress(), 0);
  EXPECT_EQ(form_->NoAnswerTime, 0u);
  TickUntil([this] { return form_->ConnectPanel->text() == "Connecting"; }, 6);
  EXPECT_EQ(PanelColour(), QColor(0, 0, 255));
  TickUntil([this] { return firmware().menu().cursor() == 2; }, 6);
  EXPECT_EQ(form_->PendingKey, kNoKey);
}

// Commands that carry less than their layout, sent past the firmware.
TEST_F(LinkLoopTest, ShortPayloadsAreNeverReadPastTheirEnd) {
  device_.wire().QueueCommand(0xA0, std::vector<uint8_t>{'H', 'I'});
  Ticks(1);
  EXPECT_EQ(LcdLine(0), "HI                  ");
  EXPECT_EQ(LcdLine(3), std::string(20, ' '));
  EXPECT_EQ(form_->LcdPainBox1->TextBlock()[kLcdCursorByte], kNoCursor);

  // Announces three items and carries one, cut after its NUL.
  std::vector<uint8_t> menu = {'S', 'H', 'O', 'R', 'T'};
  menu.resize(20, 0);
  for (uint8_t byte : std::initializer_list<uint8_t>{3, 'O', 'N', 'E', 0}) menu.push_back(byte);
  device_.wire().QueueCommand(0xA4, menu);
  Ticks(1);
  EXPECT_EQ(form_->MenuLabel->text(), "SHORT");
  EXPECT_THAT(MenuItems(), ElementsAre("[00]ONE"));

  StartGangJob();
  device_.wire().QueueCommand(0xA7, std::vector<uint8_t>{1});
  Ticks(1);
  EXPECT_EQ(GangStatus(), "Time out");
}

TEST_F(LinkLoopTest, FailedAcknowledgeLeavesTheLcdAndIsLoggedOnlyWhenLoggingIsOn) {
  Connect();
  Settle();
  const std::string shown = LcdLine(1);
  const std::vector<uint8_t> screen(81, 'N');
  // The request's head and body go through; the acknowledge of the screen finds no answer.
  device_.wire().QueueCommand(0xA0, screen);
  device_.wire().faults().StallAnswer(programmer::WirePoint::ReceiveOpen, 2);
  Ticks(1);
  EXPECT_EQ(LcdLine(1), shown);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("Error.ini")));

  Settle();
  form_->LogEnabled = 1;
  device_.wire().QueueCommand(0xA0, screen);
  device_.wire().faults().StallAnswer(programmer::WirePoint::ReceiveOpen, 2);
  Ticks(1);
  EXPECT_EQ(LcdLine(1), shown);
  TIniFile log(dir_.File("Error.ini"));
  const int total = log.ReadInteger("ERROR", "Total", -1);
  ASSERT_GE(total, 0);
  EXPECT_EQ(log.ReadString("ERROR", "0", ""), "PcHandSend() : 1 status!= 58H");
  EXPECT_THAT(log.ReadString("ERROR", std::to_string(total), ""), ::testing::StartsWith("ReShowLCDCommand()"));

  device_.wire().QueueCommand(0xA0, screen);
  Ticks(1);
  EXPECT_EQ(LcdLine(1), std::string(20, 'N'));
}

TEST_F(LinkLoopTest, KeyWhoseReplyFailsStaysPending) {
  Connect();
  Settle();
  form_->MenuListBoxClick(2);
  form_->PressKey(0x15);
  device_.wire().faults().StallAnswer(programmer::WirePoint::ReceiveOpen, 2);
  Ticks(1);
  EXPECT_EQ(form_->PendingKey, 0x15);
  EXPECT_EQ(form_->MenuSelection, 2);
  EXPECT_TRUE(firmware().keyReplies().empty());
  TickUntil([this] { return firmware().keyReplies().size() == 2; });
  EXPECT_THAT(firmware().keyReplies(), ElementsAre(Pair(0x00, 0x02), Pair(0x15, 0xFF)));
  EXPECT_EQ(firmware().menu().cursor(), 5u);
}

}  // namespace
