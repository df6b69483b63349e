// The buffer transfers end to end: the real main form and Dump Edit ticking against the
// virtual programmer, whose jobs take the console's buffer (PROGRAM, VERIFY) or give it theirs
// (READ (TO PC)), whole or by segments.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <filesystem>
#include <functional>
#include <random>

#include "buffer/DumpEdit.h"
#include "console/GangTool.h"
#include "console/Qz_M_Unit.h"
#include "platform/portio/PortDriver.h"
#include "platform/portio/VirtualPortBackend.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "programmer/VirtualProgrammer.h"
#include "tests/support/ForwardingDevice.h"
#include "tests/support/TempDir.h"
#include "tests/support/TransferDevice.h"

namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using programmer::DeviceTransfer;
using programmer::WireFaults;

constexpr uint32_t kBase = 0x378;
constexpr int kProgram = 1;
constexpr int kVerify = 2;
constexpr int kReadToPc = 6;

class TransferTest : public ::testing::Test {
 protected:
  TransferTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
    portio::InstallBackend(std::make_unique<portio::VirtualPortBackend>(std::make_unique<ForwardingDevice>(device_), kBase));
    portio::DriverHandle = 0;
    EXPECT_TRUE(form_.FormCreate());
    buffer::SetMainEditForm(&edit_);
    GangTools = &gangTools_;
    // What the programmer last showed is on the console, and nothing waits.
    form_.IdleTimerTimer();
    for (int i = 0; i < 4; ++i) form_.ConnectTimerTimer();
    QObject::connect(form_.WaittingProgressBar, &QProgressBar::valueChanged, [this](int value) {
      if (value != 0) gauge_.push_back({value, form_.Label1->text().toStdString(), form_.WaittingProgressBar->ForeColor()});
    });
  }
  ~TransferTest() override {
    buffer::SetAllocationGate({});
    GangTools = nullptr;
    buffer::SetMainEditForm(nullptr);
    portio::CloseVirtualPort();
    std::filesystem::current_path(previous_);
  }

  programmer::Firmware& firmware() { return device_.firmware(); }
  std::vector<uint8_t>& chip() { return firmware().chip(); }

  std::vector<uint8_t> Random(size_t count) {
    std::vector<uint8_t> bytes(count);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random_() % 5 == 0 ? 0 : random_());
    return bytes;
  }
  void SetBuffer(uint32_t size, const std::vector<uint8_t>& start) {
    edit_.ResizeBuffer(size);
    buffer::BufferLock lock(edit_.Buffer());
    std::fill(lock.data(), lock.data() + size, 0xFF);
    std::copy_n(start.begin(), std::min<size_t>(start.size(), size), lock.data());
  }
  std::vector<uint8_t> Buffer(uint32_t from, uint32_t count) {
    buffer::BufferLock lock(edit_.Buffer());
    return {lock.data() + from, lock.data() + from + count};
  }
  std::vector<uint8_t> WholeBuffer() { return Buffer(0, static_cast<uint32_t>(edit_.Buffer().BufSize())); }

  // Runs the job of menu item `item` and returns its result.
  int RunJob(int item) {
    // Any key leaves the last job's result screen.
    if (firmware().state() == programmer::Firmware::State::Result) {
      form_.ESCSBClick();
      TickUntil([this] { return firmware().state() == programmer::Firmware::State::Menu; });
    }
    const uint32_t before = firmware().jobsRun();
    form_.MenuListBoxClick(item);
    form_.ENTERSBClick();
    for (int i = 0; i < 200 && !Reported(before); ++i) form_.ConnectTimerTimer();
    EXPECT_TRUE(Reported(before)) << "the job never reported";
    return Reported(before) ? ResultCode(*firmware().lastVerdict()) : 99;
  }
  // A job started after `jobsBefore` has sent its result.
  bool Reported(uint32_t jobsBefore) {
    return firmware().jobsRun() > jobsBefore && firmware().state() == programmer::Firmware::State::Result &&
           firmware().resultSent();
  }
  static int ResultCode(programmer::Verdict verdict) {
    return verdict == programmer::Verdict::Pass ? 1 : verdict == programmer::Verdict::Fail ? -1 : 0;
  }
  // Ticks until `done` holds (at most `limit` ticks).
  void TickUntil(const std::function<bool()>& done, int limit = 200) {
    for (int i = 0; i < limit && !done(); ++i) form_.ConnectTimerTimer();
    ASSERT_TRUE(done());
  }
  std::vector<int> GaugeValues() const {
    std::vector<int> values;
    for (const auto& step : gauge_) values.push_back(step.value);
    return values;
  }

  struct GaugeStep {
    int value;
    std::string caption;
    console::Rgb colour;
  };

  TempDir dir_;
  std::filesystem::path previous_;
  winapi::ScriptedMessageBoxes boxes_;
  programmer::VirtualProgrammer device_;
  TQZ_M_Form form_;
  buffer::TMainEdit edit_;
  TGangTools gangTools_;
  std::vector<GaugeStep> gauge_;
  std::mt19937 random_{20261209};
};

// 0xA3: the buffer arrives byte for byte, then as fuses after a JEDEC load.
TEST_F(TransferTest, ProgramJobTakesTheBufferWholeAndAsFuses) {
  chip().assign(0x1000, 0xFF);
  firmware().settings().block = 0x400;
  const std::vector<uint8_t> data = Random(0x1400);
  SetBuffer(0x100000, data);
  const std::vector<uint8_t> before = WholeBuffer();

  EXPECT_EQ(RunJob(kProgram), 1);
  EXPECT_TRUE(std::equal(chip().begin(), chip().end(), data.begin()));
  EXPECT_THAT(GaugeValues(), ElementsAre(10, 20, 30, 200));
  for (const GaugeStep& step : gauge_) {
    EXPECT_EQ(step.caption, "Sending Data...");
    EXPECT_EQ(step.colour, console::kTeal);
  }
  EXPECT_EQ(WholeBuffer(), before);  // only read
  EXPECT_EQ(edit_.Modified(), 0);

  form_.JedecSendMode = 1;
  EXPECT_EQ(RunJob(kProgram), 1);
  for (size_t i = 0; i < chip().size(); ++i) ASSERT_EQ(chip()[i], data[i] != 0 ? 1 : 0) << i;
  EXPECT_THAT(boxes_.boxes(), IsEmpty());
  EXPECT_EQ(form_.Label1->text(), "Waiting Time :");  // the next tick put it back
}

// 0xA6: programming and verifying by segments; the gauge makes no steps.
TEST_F(TransferTest, VerifyJobComparesTheBufferSegmentBySegment) {
  chip().assign(0x1000, 0xFF);
  firmware().settings().segments = true;
  firmware().settings().segmentLength = 0x300;
  const std::vector<uint8_t> data = Random(0x800);
  SetBuffer(0x800, data);  // the segments past 0x800 make it grow

  EXPECT_EQ(RunJob(kProgram), 1);
  EXPECT_EQ(edit_.Buffer().BufSize(), 0x1000);
  EXPECT_EQ(chip(), WholeBuffer());
  EXPECT_TRUE(std::equal(data.begin(), data.end(), chip().begin()));
  EXPECT_THAT(GaugeValues(), IsEmpty());
  EXPECT_EQ(RunJob(kVerify), 1);

  buffer::BufferLock(edit_.Buffer())[0xA01] ^= 0x40;
  EXPECT_EQ(RunJob(kVerify), -1);
}

// 0xA2: the chip's data land at 0, the last short block at its index times the block size.
TEST_F(TransferTest, ReadToPcGivesTheChipWhole) {
  const std::vector<uint8_t> data = Random(0x1100);
  chip() = data;
  firmware().settings().block = 0x400;
  SetBuffer(0x800, {});
  form_.PressKey(0x16);  // the "(TO PC)" line is selected
  TickUntil([this] { return form_.ToPcFlag == 1; });
  form_.NowFilePath->SetPanelText(1, "c:\\file.bin");

  EXPECT_EQ(RunJob(kReadToPc), 1);
  EXPECT_EQ(edit_.Buffer().BufSize(), 0x1100);
  EXPECT_EQ(WholeBuffer(), data);
  EXPECT_THAT(GaugeValues(), ElementsAre(10, 20, 30, 40, 200));
  EXPECT_EQ(gauge_[0].caption, "Getting Data...");
  // Only a segment read answers the flag.
  EXPECT_EQ(form_.ToPcFlag, 1);
  EXPECT_EQ(form_.NowFilePath->PanelText(1), "c:\\file.bin");

  // Into a larger buffer only the first total bytes change.
  SetBuffer(0x2000, {});
  EXPECT_EQ(RunJob(kReadToPc), 1);
  EXPECT_EQ(Buffer(0, 0x1100), data);
  EXPECT_THAT(Buffer(0x1100, 0xF00), Each(0xFF));
}

// 0xA5: segments, the growth with the Load dialog's fill, and "Data From Master" once.
TEST_F(TransferTest, ReadToPcBySegmentsFillsGapsAndShowsDataFromMasterOnce) {
  TIniFile ini(form_.HistoryIniPath);
  ini.WriteInteger("LoadDlg", "UserFill", 0x5A);
  ini.WriteInteger("LoadDlg", "UnuserFillCheck", 1);
  SetBuffer(0x4000, {});
  const std::vector<uint8_t> far = Random(0x100);
  {
    TransferDevice device(device_.wire(), DeviceTransfer::ReadSegment(0x8000, far));
    form_.ConnectTimerTimer();
    EXPECT_EQ(device.transfer->state(), DeviceTransfer::State::Done);
  }
  device_.wire().SetListener(&firmware());
  EXPECT_EQ(edit_.Buffer().BufSize(), 0x8100);
  EXPECT_THAT(Buffer(0x4000, 0x4000), Each(0x5A));
  EXPECT_EQ(Buffer(0x8000, 0x100), far);
  EXPECT_THAT(Buffer(0, 0x4000), Each(0xFF));

  const std::vector<uint8_t> data = Random(0xC00);
  chip() = data;
  firmware().settings().segments = true;
  firmware().settings().segmentLength = 0x400;
  form_.PressKey(0x16);
  TickUntil([this] { return form_.ToPcFlag == 1; });
  form_.MenuListBoxClick(kReadToPc);
  form_.ENTERSBClick();
  TickUntil([this] { return form_.NowFilePath->PanelText(1) == "Data From Master"; });
  EXPECT_EQ(form_.ToPcFlag, 0);
  form_.NowFilePath->SetPanelText(1, "c:\\next.hex");
  TickUntil([this] { return Reported(0); });
  EXPECT_EQ(firmware().lastVerdict(), programmer::Verdict::Pass);
  EXPECT_EQ(form_.NowFilePath->PanelText(1), "c:\\next.hex");
  EXPECT_EQ(Buffer(0, 0xC00), data);
  EXPECT_EQ(Buffer(0x8000, 0x100), far);
  EXPECT_THAT(GaugeValues(), IsEmpty());
}

// Remembers the value the gauge shows at each paint.
class GaugePaints : public QObject {
 public:
  explicit GaugePaints(TCGauge* gauge) : gauge_(gauge) { gauge->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && gauge_->Progress() != 0) values.push_back(gauge_->Progress());
    return false;
  }
  std::vector<int> values;

 private:
  TCGauge* gauge_;
};

// The window takes no messages during the transfer: each new value is painted at once, once.
TEST_F(TransferTest, GaugePaintsEachNewValueOnceAndNothingElse) {
  chip().assign(0x10000, 0xFF);
  firmware().settings().block = 0x400;
  form_.show();
  QApplication::processEvents();
  GaugePaints paints(form_.WaittingProgressBar);
  EXPECT_EQ(RunJob(kProgram), 1);
  QApplication::processEvents();  // nothing left over to paint later
  ASSERT_EQ(GaugeValues().size(), 21u);
  EXPECT_EQ(paints.values, GaugeValues());
}

struct Break {
  const char* name;
  int item;
  bool segments;
  std::function<void(WireFaults&)> arm;
};

class BrokenTransferTest : public TransferTest, public ::testing::WithParamInterface<Break> {};

// The buffer keeps its bytes and its size, the job fails, and the next job goes through.
TEST_P(BrokenTransferTest, LeavesTheBufferAsItWasAndFailsTheJob) {
  chip() = Random(0x1400);
  const std::vector<uint8_t> image = chip();
  firmware().settings().block = 0x400;
  firmware().settings().segments = GetParam().segments;
  firmware().settings().segmentLength = 0x800;
  SetBuffer(0x900, Random(0x900));
  const std::vector<uint8_t> before = WholeBuffer();
  GetParam().arm(device_.wire().faults());
  form_.LogEnabled = 1;

  EXPECT_EQ(RunJob(GetParam().item), -1);
  EXPECT_EQ(edit_.Buffer().BufSize(), 0x900);
  EXPECT_EQ(WholeBuffer(), before);
  TIniFile log(dir_.File("Error.ini"));
  EXPECT_GE(log.ReadInteger("ERROR", "Total", -1), 0);

  EXPECT_EQ(RunJob(GetParam().item), 1);
  if (GetParam().item == kReadToPc) {
    EXPECT_EQ(WholeBuffer(), image);
  } else {
    EXPECT_TRUE(std::equal(before.begin(), before.end(), chip().begin()));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BrokenTransferTest,
    ::testing::Values(
        Break{"ProgramCrcAtBlock2", kProgram, false, [](WireFaults& f) { f.CorruptCrc(2); }},
        Break{"ProgramStallAtBlock1", kProgram, false, [](WireFaults& f) { f.StallFrame(1); }},
        Break{"ReadCrcAtBlock3", kReadToPc, false, [](WireFaults& f) { f.CorruptCrc(3); }},
        Break{"ReadStallAtBlock2", kReadToPc, false, [](WireFaults& f) { f.StallFrame(2); }},
        Break{"ReadShortBlock4", kReadToPc, false, [](WireFaults& f) { f.ShortPayload(0x100, 4); }},
        Break{"ProgramSegmentStall", kProgram, true, [](WireFaults& f) { f.StallFrame(0); }},
        Break{"ReadSegmentCrc", kReadToPc, true, [](WireFaults& f) { f.CorruptCrc(0); }}),
    [](const auto& info) { return std::string(info.param.name); });

struct Unresizable {
  const char* name;
  DeviceTransfer transfer;
  bool acknowledged;  // the programmer got its data through, they just went nowhere
};

class FailedResizeTest : public TransferTest, public ::testing::WithParamInterface<Unresizable> {};

// Data to the programmer: nothing sent, never made-up bytes. Data from it: nothing written.
TEST_P(FailedResizeTest, SendsOrWritesNothing) {
  SetBuffer(0x800, Random(0x800));
  const std::vector<uint8_t> before = WholeBuffer();
  form_.ToPcFlag = 1;
  buffer::SetAllocationGate([](std::size_t) { return false; });
  TransferDevice device(device_.wire(), GetParam().transfer);
  form_.ConnectTimerTimer();

  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text, "Memory error !");
  EXPECT_EQ(device.transfer->state(),
            GetParam().acknowledged ? DeviceTransfer::State::Done : DeviceTransfer::State::Going);
  if (!GetParam().acknowledged) {
    EXPECT_THAT(device.received, IsEmpty());
  }
  EXPECT_EQ(WholeBuffer(), before);
  EXPECT_EQ(form_.ToPcFlag, 1);
  EXPECT_EQ(form_.NowFilePath->PanelText(1), "");
}

INSTANTIATE_TEST_SUITE_P(
    Transfers, FailedResizeTest,
    ::testing::Values(Unresizable{"ProgramAll", DeviceTransfer::ProgramAll(0x1000, 0x400), false},
                      Unresizable{"ProgramSegment", DeviceTransfer::ProgramSegment(0x7F0, 0x20), false},
                      Unresizable{"ReadAll", DeviceTransfer::ReadAll(std::vector<uint8_t>(0xC00, 0x11), 0x400), true},
                      Unresizable{"ReadSegment", DeviceTransfer::ReadSegment(0x700, std::vector<uint8_t>(0x200, 0x22)), true}),
    [](const auto& info) { return std::string(info.param.name); });

// The warning over 0x7FFFFF bytes runs a loop of its own: no job may start inside it, and the
// transfer goes on after it unless one did.
TEST_F(TransferTest, BoxInsideATransferLetsNoJobStart) {
  std::vector<int> busyInBox;
  boxes_.WhileShown([&](const winapi::ShownBox&) {
    busyInBox.push_back(form_.TransactionBusy);
    busyInBox.push_back(console::MayStartJob(form_) ? 1 : 0);
  });
  {
    TransferDevice device(device_.wire(), DeviceTransfer::ProgramAll(0x800001, 0xFFFA));
    form_.ConnectTimerTimer();
    ASSERT_EQ(boxes_.boxes().size(), 1u);
    EXPECT_EQ(boxes_.boxes()[0].text, "Data Leagth is biger than max value");
    EXPECT_EQ(boxes_.boxes()[0].caption, "ERROR");
    EXPECT_EQ(boxes_.boxes()[0].flags, winapi::MB_OK);
    EXPECT_EQ(boxes_.boxes()[0].owner, nullptr);
    EXPECT_THAT(busyInBox, ElementsAre(1, 0));
    EXPECT_EQ(device.transfer->state(), DeviceTransfer::State::Done);
    EXPECT_EQ(device.received.size(), 0x800001u / 0xFFFA + 2);
    EXPECT_EQ(edit_.Buffer().BufSize(), 0x800001);
  }
  EXPECT_EQ(form_.TransactionBusy, 0);

  // A job that started all the same owns the buffer: nothing goes out.
  boxes_.WhileShown([&](const winapi::ShownBox&) { ++form_.JobGeneration; });
  TransferDevice device(device_.wire(), DeviceTransfer::ProgramAll(0x900000, 0xFFFA));
  form_.ConnectTimerTimer();
  EXPECT_EQ(boxes_.boxes().size(), 2u);
  EXPECT_THAT(device.received, IsEmpty());
  EXPECT_EQ(edit_.Buffer().BufSize(), 0x800001);
}

}  // namespace
