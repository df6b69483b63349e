// GANG TOOLS end to end: the form, the main form and the Dump Edit ticking against the virtual
// programmer in its AUTO FROM PC mode. Time passes only as the test calls the timers'
// handlers: one "second" is 16 link ticks of 60 ms and one time-out tick; the test timer's
// round comes every third second.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTime>
#include <QLocale>
#include <cerrno>
#include <filesystem>
#include <random>

#include "buffer/DumpEdit.h"
#include "buffer/core/Checksum.h"
#include "buffer/core/HexText.h"
#include "buffer/core/LoadFormat.h"
#include "buffer/formats/FileFaults.h"
#include "console/GangTool.h"
#include "console/Qz_M_Unit.h"
#include "platform/portio/PortDriver.h"
#include "platform/portio/VirtualPortBackend.h"
#include "platform/winapi/Clock.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "programmer/VirtualProgrammer.h"
#include "tests/support/ForwardingDevice.h"
#include "tests/support/TempDir.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr uint32_t kBase = 0x378;
constexpr int kAutoFromPc = 7;
constexpr int kLinkTicksPerSecond = 16;
constexpr uint32_t kChipSize = 0x10000;

class GangToolsTest : public ::testing::Test {
 protected:
  GangToolsTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
    portio::InstallBackend(std::make_unique<portio::VirtualPortBackend>(std::make_unique<ForwardingDevice>(device_), kBase));
    portio::DriverHandle = 0;
    EXPECT_TRUE(form_.FormCreate());
    buffer::SetMainEditForm(&edit_);
    QZ_M_Form = &form_;
    GangTools = &tools_;
    firmware().settings().jobPolls = 20;
    form_.IdleTimerTimer();
    for (int i = 0; i < 4; ++i) form_.ConnectTimerTimer();
    // The programmer is set to AUTO FROM PC: the choice goes with the first key.
    form_.MenuListBoxClick(kAutoFromPc);
  }
  ~GangToolsTest() override {
    GangTools = nullptr;
    QZ_M_Form = nullptr;
    buffer::SetMainEditForm(nullptr);
    portio::CloseVirtualPort();
    std::filesystem::current_path(previous_);
  }

  programmer::Firmware& firmware() { return device_.firmware(); }

  std::string WriteFile(const std::string& name, size_t size) {
    std::string bytes(size, '\0');
    for (char& b : bytes) b = static_cast<char>(random_());
    dir_.Write(name, bytes);
    return bytes;
  }
  // The chip after programming `file`: the file, then the fill of the rest of the buffer.
  static std::vector<uint8_t> Programmed(const std::string& file) {
    std::vector<uint8_t> chip(kChipSize, 0xFF);
    std::copy(file.begin(), file.end(), chip.begin());
    return chip;
  }
  static std::string SumText(const std::string& file) {
    return buffer::FormatHex(buffer::ByteSum(reinterpret_cast<const uint8_t*>(file.data()), file.size()), 8);
  }

  void Second() {
    for (int i = 0; i < kLinkTicksPerSecond; ++i) form_.ConnectTimerTimer();
    if (tools_.GangToolTimeOutTimer->isActive()) tools_.GangToolTimeOutTimerTimer();
    if (++seconds_ % 3 == 0 && tools_.TestTimer->isActive()) tools_.TestTimerTimer();
  }
  std::string Status() const { return tools_.ResultRows().empty() ? "" : tools_.ResultRows().back().status; }
  // Seconds until there are `rows` rows and the last has its verdict (at most `limit`).
  void RunUntilVerdict(size_t rows, int limit = 30) {
    const auto done = [&] { return tools_.ResultRows().size() == rows && Status() != "Processing"; };
    for (int i = 0; i < limit && !done(); ++i) Second();
    ASSERT_TRUE(done()) << tools_.ResultRows().size() << " rows, the last " << Status();
  }
  std::vector<std::string> Shown(int column) const {
    std::vector<std::string> texts;
    for (int i = 0; i < tools_.ResultListView->topLevelItemCount(); ++i)
      texts.push_back(tools_.ResultListView->topLevelItem(i)->text(column).toStdString());
    return texts;
  }
  void Queue(const std::string& folder) {
    tools_.SetDirectory(dir_.File(folder));
    tools_.BitBtn4Click();
  }

  TempDir dir_;
  std::filesystem::path previous_;
  winapi::ScriptedMessageBoxes boxes_;
  winapi::ManualClock clock_;
  programmer::VirtualProgrammer device_;
  TQZ_M_Form form_;
  buffer::TMainEdit edit_;
  TGangTools tools_;
  std::mt19937 random_{20261209};
  int seconds_ = 0;
};

// Two files run one after the other with "test" checked; each is programmed exactly as it is,
// the one picked and not its namesake in the folder shown at Start; a broken fetch fails the
// third job; the report holds the three rows.
TEST_F(GangToolsTest, QueueRunsJobAfterJobIntoTheReport) {
  const std::string one = WriteFile("batch/one.bin", 0x3000);
  const std::string two = WriteFile("batch/Two.bin", 0x2001);
  const std::string three = WriteFile("batch/three.ROM", 0x100);
  WriteFile("batch/skip.txt", 0x10);
  WriteFile("other/one.bin", 0x3000);
  tools_.GangToolFilterComboBox1->setCurrentIndex(4);  // rom
  Queue("batch");
  tools_.GangToolFilterComboBox1->setCurrentIndex(1);  // bin
  Queue("batch");
  EXPECT_EQ(tools_.Queue().items().size(), 3u);
  EXPECT_EQ(tools_.GangToolListBox1->item(0)->text(), "one.bin");
  EXPECT_EQ(tools_.GangToolListBox1->item(2)->text(), "Two.bin");
  tools_.SetDirectory(dir_.File("other"));
  tools_.test->setChecked(true);

  tools_.GangToolStartButtonClick();
  EXPECT_THAT(Shown(2), ElementsAre("Processing"));
  EXPECT_FALSE(tools_.GangToolStartButton->isEnabled());
  EXPECT_FALSE(tools_.GangToolReDoButton->isEnabled());
  EXPECT_TRUE(tools_.GangToolTimeOutTimer->isActive());
  EXPECT_EQ(tools_.GangToolListBox1->count(), 2);
  RunUntilVerdict(1);
  EXPECT_EQ(Status(), "Finished");
  EXPECT_EQ(firmware().chip(), Programmed(one));
  EXPECT_TRUE(tools_.GangToolStartButton->isEnabled());
  EXPECT_FALSE(tools_.GangToolTimeOutTimer->isActive());

  // The test timer starts the next job; its fetch is broken off.
  device_.wire().faults().CorruptCrc(2);
  RunUntilVerdict(2);
  EXPECT_EQ(Status(), "Fail");
  EXPECT_EQ(tools_.ResultRows().back().fileName, "three.ROM");
  RunUntilVerdict(3);
  EXPECT_EQ(Status(), "Finished");
  EXPECT_EQ(firmware().chip(), Programmed(two));
  EXPECT_EQ(firmware().jobsRun(), 3u);
  EXPECT_EQ(tools_.GangToolListBox1->count(), 0);
  EXPECT_THAT(Shown(0), ElementsAre("one.bin", "three.ROM", "Two.bin"));
  EXPECT_THAT(Shown(1), ElementsAre(SumText(one), SumText(three), SumText(two)));
  EXPECT_THAT(Shown(2), ElementsAre("Finished", "Fail", "Finished"));
  EXPECT_EQ(form_.JedecSendMode, 0);
  EXPECT_THAT(boxes_.boxes(), IsEmpty());

  clock_.AdvanceSeconds(1765280000);
  const std::string date =
      QLocale::system().toString(QDateTime::fromSecsSinceEpoch(1765280000).date(), QLocale::ShortFormat).toStdString();
  tools_.GangToolSaveResoult = [this] { return QString::fromStdString(dir_.File("report.txt")); };
  tools_.BitBtn2Click();
  EXPECT_EQ(dir_.Read("report.txt"), "This file is generated by Gang Programmer.\t" + date +
                                         "\n\nFile Name\t\tCheck Sum\t\tStatus\n\n"
                                         "one.bin\t\t" + SumText(one) + "\t\tFinished\n"
                                         "three.ROM\t\t" + SumText(three) + "\t\tFail\n"
                                         "Two.bin\t\t" + SumText(two) + "\t\tFinished\n");
  // A store that fails shows one box and leaves the earlier report of that name whole.
  const std::string report = dir_.Read("report.txt");
  const std::pair<const char*, const char*> failures[] = {{"none/report.txt", "No such file or directory"},
                                                          {"report.txt", "No space left on device"}};
  for (const auto& [name, reason] : failures) {
    boxes_.Clear();
    tools_.GangToolSaveResoult = [&] { return QString::fromStdString(dir_.File(name)); };
    formats::SetFileFault([](formats::FileCall call, const std::string&) {
      return call == formats::FileCall::Write ? ENOSPC : 0;  // the disk is full
    });
    tools_.BitBtn2Click();
    formats::SetFileFault({});
    ASSERT_EQ(boxes_.boxes().size(), 1u);
    EXPECT_EQ(boxes_.boxes()[0].text, "Can NOT write the result file\n" + dir_.File(name) + "\n" + reason);
    EXPECT_EQ(boxes_.boxes()[0].caption, "Store Result");
  }
  EXPECT_EQ(dir_.Read("report.txt"), report);
}

// A job that outlasts the limit: the result that arrives while the "Warning" box is open
// stands. A programmer that never answers keeps its job waiting while the link is up, and
// times out once the link is gone.
TEST_F(GangToolsTest, TimeOutKeepsALateResultAndEndsAJobWithoutLink) {
  WriteFile("batch/a.bin", 0x800);
  WriteFile("batch/b.bin", 0x800);
  Queue("batch");
  tools_.TimeOutCtrl->setText("1");
  firmware().settings().jobPolls = 40;  // more than one second of link ticks
  int startsInBox = 0;
  boxes_.WhileShown([&](const winapi::ShownBox&) {
    for (int i = 0; i < 60 && Status() == "Processing"; ++i) form_.ConnectTimerTimer();
    tools_.TestTimerTimer();
    startsInBox += tools_.ResultRows().size() > 1 ? 1 : 0;
  });
  tools_.test->setChecked(true);
  tools_.GangToolStartButtonClick();
  Second();
  Second();
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text, "Time out!!\n\nChecking connection..");
  EXPECT_THAT(Shown(2), ElementsAre("Finished"));
  EXPECT_FALSE(tools_.GangToolTimeOutTimer->isActive());
  EXPECT_EQ(startsInBox, 0);
  EXPECT_EQ(tools_.GangToolListBox1->count(), 1);

  boxes_.WhileShown({});
  boxes_.Clear();
  firmware().settings().neverAnswer = true;
  tools_.test->setChecked(false);
  tools_.GangToolStartButtonClick();
  for (int i = 0; i < 6; ++i) Second();
  EXPECT_EQ(Status(), "Processing");
  EXPECT_GE(boxes_.boxes().size(), 2u);  // each period ends in a connection check
  device_.wire().SetPresent(false);
  for (int i = 0; i < 8 && Status() == "Processing"; ++i) Second();
  EXPECT_EQ(Status(), "Time out");
  EXPECT_EQ(boxes_.boxes().back().text, " Missing connection!! ");
  EXPECT_EQ(boxes_.boxes().back().caption, "Error");
  EXPECT_FALSE(tools_.GangToolTimeOutTimer->isActive());
  EXPECT_TRUE(tools_.GangToolStartButton->isEnabled());
}

// The form's own checks: the time-out edit, ReDo, Select with a selection, Delete.
TEST_F(GangToolsTest, FormChecksItsEntriesAndRepeatsTheLastJob) {
  tools_.TimeOutCtrl->setText("12a");
  EXPECT_EQ(tools_.TimeOutCtrl->text(), "300");
  tools_.TimeOutCtrl->setText("20000");
  EXPECT_EQ(tools_.TimeOutCtrl->text(), "300");
  ASSERT_EQ(boxes_.boxes().size(), 2u);
  EXPECT_EQ(boxes_.boxes()[1].text, "Input error !");
  EXPECT_EQ(tools_.JobTimeOutMs(), 300000u);

  tools_.GangToolReDoButtonClick();  // no rows: nothing
  EXPECT_TRUE(tools_.ResultRows().empty());
  const std::string c = WriteFile("batch/c.bin", 0x40);
  WriteFile("batch/d.bin", 0x40);
  tools_.SetDirectory(dir_.File("batch"));
  ASSERT_EQ(tools_.GangToolFileListBox1->count(), 2);
  tools_.GangToolFileListBox1->item(1)->setSelected(true);
  tools_.GangToolSelectButtonClick();
  tools_.GangToolSelectButtonClick();  // duplicates are kept
  tools_.GangToolListBox1->item(0)->setSelected(true);
  tools_.GangToolDelButtonClick();
  EXPECT_EQ(tools_.GangToolListBox1->count(), 1);
  tools_.GangToolDelAllButtonClick();
  EXPECT_EQ(tools_.GangToolListBox1->count(), 0);
  tools_.GangToolCheckBox1->setChecked(false);
  tools_.GangToolFileListBox1->item(1)->setSelected(true);
  tools_.GangToolSelectButtonClick();
  tools_.BitBtn4Click();
  tools_.GangToolCheckBox1->setChecked(true);  // sorts what is queued
  ASSERT_EQ(tools_.GangToolListBox1->count(), 3);
  EXPECT_EQ(tools_.GangToolListBox1->item(0)->text(), "c.bin");
  tools_.GangToolDelAllButtonClick();

  Queue("batch");
  tools_.GangToolStartButtonClick();
  RunUntilVerdict(1);
  tools_.GangToolReDoButtonClick();
  EXPECT_THAT(Shown(0), ElementsAre("c.bin", "c.bin"));
  EXPECT_THAT(Shown(1), ElementsAre(SumText(c), SumText(c)));
  RunUntilVerdict(2);
  EXPECT_THAT(Shown(2), ElementsAre("Finished", "Finished"));
  EXPECT_EQ(firmware().jobsRun(), 2u);
  EXPECT_EQ(tools_.GangToolListBox1->item(0)->text(), "d.bin");
  EXPECT_EQ(boxes_.boxes().size(), 2u);
  // A name that is not UTF-8 is listed with U+FFFD, which names no file: Select says so.
  dir_.Write("odd/caf\xE9.bin", "x");
  tools_.SetDirectory(dir_.File("odd"));
  EXPECT_EQ(tools_.GangToolFileListBox1->item(0)->text(), u"caf\uFFFD.bin");
  tools_.GangToolFileListBox1->item(0)->setSelected(true);
  tools_.GangToolSelectButtonClick();
  ASSERT_EQ(boxes_.boxes().size(), 3u);
  EXPECT_EQ(boxes_.boxes()[2].text, "Cannot queue \"" + dir_.File("odd/caf\xE9.bin") +
                                        "\": its name is not UTF-8 text, so the lists and the report could not name it.");
  EXPECT_EQ(boxes_.boxes()[2].caption, "ERROR");
  EXPECT_EQ(tools_.GangToolListBox1->count(), 1);
  // Nor can a name holding '\\', which the program takes for a folder: Select says so too.
  dir_.Write("slash/back\\slash.bin", "x");
  Queue("slash");
  ASSERT_EQ(boxes_.boxes().size(), 4u);
  EXPECT_EQ(boxes_.boxes()[3].text, console::UnstorableNameText(dir_.File("slash/back\\slash.bin")));
  EXPECT_EQ(tools_.GangToolListBox1->count(), 1);
}

// A file Start cannot load gets one box, its own: a file gone since it was queued, an empty
// file, and files the load road refuses (too large for an image; not of the format last
// chosen in the Load dialog). No job starts and the item stays first in the queue.
TEST_F(GangToolsTest, StartShowsOneBoxForAFileItCannotLoadAndKeepsTheItem) {
  struct Case {
    const char* file;
    uintmax_t size;
    bool gone;
    int32_t lastLoadFormat;
    std::string text;
    const char* caption;
    const char* namesake = nullptr;  // made once the file is queued
  };
  const std::string trailing = dir_.File("refused/trail.bin /trail.bin ");
  const std::vector<Case> cases = {
      {"gone.bin", 0x10, true, 0, "\nCan NOT Find file\nPlease check the path of file\n\n", "Wrong"},
      {"empty.bin", 0, false, 0, "\nThe file is empty\nPlease check the file\n\n", "Wrong"},
      // Sparse: nothing is written to the disk.
      {"huge.bin", 0x7FFFFC00, false, 0, "Memory error.", "Load BIN File"},
      {"plain.bin", 0x10, false, 4, "File is not Intel Hex format !", "ERROR !"},
      // The settings file would hand the load "trail.bin": the file queued is refused, by name.
      {"trail.bin ", 0x10, false, 0, console::UnstorableNameText(trailing), "Wrong", "trail.bin"},
  };
  for (const Case& c : cases) {
    const std::string folder = std::string("refused/") + c.file;
    const std::string path = dir_.File(folder + "/" + c.file);
    dir_.Write(folder + "/" + c.file, "");
    std::filesystem::resize_file(path, c.size);
    tools_.GangToolDelAllButtonClick();
    Queue(folder);
    if (c.gone) std::filesystem::remove(path);
    if (c.namesake) dir_.Write(folder + "/" + c.namesake, "namesake");
    buffer::SetLastLoadFormat(c.lastLoadFormat);
    boxes_.Clear();
    tools_.GangToolStartButtonClick();
    buffer::SetLastLoadFormat(0);
    ASSERT_EQ(boxes_.boxes().size(), 1u) << c.file;
    EXPECT_EQ(boxes_.boxes()[0].text, c.text);
    EXPECT_EQ(boxes_.boxes()[0].caption, c.caption);
    EXPECT_TRUE(tools_.ResultRows().empty());
    EXPECT_TRUE(tools_.GangToolStartButton->isEnabled());
    ASSERT_EQ(tools_.GangToolListBox1->count(), 1);
    EXPECT_EQ(tools_.GangToolListBox1->item(0)->text(), c.file);
  }
}

}  // namespace
