// The Update menu's run against the virtual programmer in its update mode (on the second of
// two virtual ports), behind a recording surface, scripted boxes and a clock that moves only
// in the pauses and the busy phases: a full update, every way it is refused or fails with
// its box and nothing on the port after it, Stop, and the exchanges' own refusals.
#include "update/core/UpdateRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "buffer/core/DumpEditCore.h"
#include "link/UpdateLink.h"
#include "platform/portio/FloatingPort.h"
#include "platform/portio/VirtualPortBackend.h"
#include "platform/winapi/Clock.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "programmer/SystemImage.h"
#include "programmer/UpdateMode.h"
#include "update/core/UpdateImage.h"

namespace {

using qzlink::StopProbeResult;

constexpr uint32_t kEmptyBase = 0x3BC;
constexpr uint32_t kProgrammerBase = 0x378;
constexpr const char* kImageModel = "ZORV-R77 V2.00";

// Records what the run shows, in order.
class RecordingSurface : public update::UpdateSurface {
 public:
  explicit RecordingSurface(winapi::ManualClock& clock) : clock_(clock) {}

  winapi::Owner Frame() override { return this; }
  buffer::DumpEditCore* ActiveChild() override { return child; }
  void SetUpdateEnabled(bool enabled) override {
    updateEnabled = enabled;
    events.push_back(enabled ? "enabled" : "disabled");
  }
  void ShowDeviceLabels(const std::string& idText, const std::string& modelText) override {
    idLabel = idText;
    modelLabel = modelText;
  }
  void ShowInitForm() override { events.push_back("init"); }
  void CloseInitForm() override { events.push_back("init closed"); }
  void ShowUpdateForm(const std::string& action) override {
    events.push_back(action);
    formOpen = true;
    if (onForm) onForm(action);
  }
  void CloseUpdateForm() override {
    if (formOpen) events.push_back("form closed");
    formOpen = false;
  }
  void WhilePausing() override {
    ++pauseTurns;
    clock_.AdvanceSeconds(1);
  }
  void SetMaximum(std::int32_t maximum) override { gaugeMaximum = maximum; }
  void SetProgress(std::int32_t progress) override { gaugeProgress = progress; }

  buffer::DumpEditCore* child = nullptr;
  std::function<void(const std::string&)> onForm;
  std::vector<std::string> events;
  std::string idLabel, modelLabel;
  bool updateEnabled = true;
  bool formOpen = false;
  int pauseTurns = 0;
  std::int32_t gaugeMaximum = -1, gaugeProgress = -1;

 private:
  winapi::ManualClock& clock_;
};

class UpdateRunTest : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(child.Create());
    ASSERT_TRUE(child.ResizeBuffer(0x30000));
    Accept(programmer::MakeSystemImage(kImageModel, 5));
    std::vector<portio::VirtualPortBackend::Port> ports;
    ports.push_back({kEmptyBase, std::make_unique<portio::FloatingPort>()});
    auto mode = std::make_unique<programmer::UpdateMode>();
    device = mode.get();
    ports.push_back({kProgrammerBase, std::move(mode)});
    portio::OpenVirtualPorts(std::move(ports));
    oldFlash = device->flash();
    surface.child = &child;
    // Each look in a busy phase is a tenth of a second of busy time.
    qzlink::SetStopProbe([this] {
      ++looks;
      clock.AdvanceMs(100);
      return onLook ? onLook() : StopProbeResult::None;
    });
    qzlink::SetOnStop([this] { surface.CloseUpdateForm(); });
    boxes.WhileShown([this](const winapi::ShownBox&) { accessesAtBox.push_back(device->accesses()); });
  }
  void TearDown() override {
    qzlink::SetStopProbe({});
    qzlink::SetOnStop({});
    qzlink::StopRequested = 0;
    portio::CloseVirtualPort();
  }

  // The image in the buffer at 0, accepted as a load would leave it.
  void Accept(const std::vector<uint8_t>& bytes) {
    image = bytes;
    {
      buffer::BufferLock lock(child.buffer());
      std::copy(image.begin(), image.end(), lock.data());
    }
    child.fields().FileSize = update::kUpdateImageSize;
    child.fields().LastSum = 0;
    for (uint8_t b : image) child.fields().LastSum += b;
    update::FileLabels labels;
    ASSERT_TRUE(update::CheckUpdateImage(child, nullptr, labels));
  }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const winapi::ShownBox& box : boxes.boxes()) texts.push_back(box.text + " / " + box.caption);
    return texts;
  }
  // Nothing reached the port after the last box was shown.
  void ExpectQuietAfterLastBox() const {
    ASSERT_FALSE(accessesAtBox.empty());
    EXPECT_EQ(device->accesses(), accessesAtBox.back());
  }

  winapi::ManualClock clock;
  winapi::ScriptedMessageBoxes boxes;
  buffer::DumpEditCore child{buffer::UpdateToolProfile()};
  RecordingSurface surface{clock};
  update::UpdateRun run{surface, deviceFormatId, deviceModel};
  std::array<char, 20> deviceFormatId{};
  std::array<char, 20> deviceModel{};
  programmer::UpdateMode* device = nullptr;
  std::vector<uint8_t> image;
  std::vector<uint8_t> oldFlash;
  std::vector<uint64_t> accessesAtBox;
  std::function<StopProbeResult()> onLook;
  int looks = 0;
};

TEST_F(UpdateRunTest, AFullUpdateWritesTheBufferIntoTheFlashThenPasses) {
  // Six busy phases of 2 s for each block, 12 s together against the device's limit of 10.
  device->settings().busyCycles = 6;
  run.Menu_Update1Click();

  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Update OK! / PASS"});
  EXPECT_EQ(boxes.boxes()[0].owner, surface.Frame());
  EXPECT_EQ(device->flash(), image);
  const programmer::UpdateModeLog& log = device->log();
  EXPECT_EQ(log.identities, 1u);
  EXPECT_EQ(log.acknowledges, std::vector<uint8_t>{0xE0});
  EXPECT_EQ(log.staged, 16u);
  EXPECT_EQ(log.compared, 16u);
  EXPECT_EQ(log.mismatches, 0u);
  EXPECT_EQ(log.rejected, 0u);
  EXPECT_EQ(log.commits, 1u);
  EXPECT_EQ(log.releases, 32u);
  // The identity before the update: the device's old model, the same first word.
  EXPECT_EQ(surface.idLabel, "Device ID : QZ7100");
  EXPECT_EQ(surface.modelLabel, "Device Model : ZORV-R77 V1.00");
  EXPECT_EQ(surface.events, (std::vector<std::string>{"disabled", "init", "init closed", update::kProgramAction,
                                                      "form closed", update::kVerifyAction, "form closed",
                                                      "enabled"}));
  EXPECT_EQ(surface.gaugeMaximum, 16);
  EXPECT_EQ(surface.gaugeProgress, 16);
  // Two pauses of more than five seconds each.
  EXPECT_EQ(surface.pauseTurns, 12);
  EXPECT_GT(looks, 0);

  // Read again, the identity is the new image's.
  EXPECT_EQ(run.ShowDeviceInfo(), 1);
  EXPECT_EQ(surface.modelLabel, std::string("Device Model : ") + kImageModel);
  EXPECT_EQ(update::FieldText(deviceModel), kImageModel);
}

// A way the run is refused or fails: what is set up, the boxes in order.
struct Refusal {
  const char* name;
  std::function<void(UpdateRunTest&)> arrange;
  std::vector<std::string> boxes;
  bool disablesMenu = true;
  bool verifies = false;
};

const std::vector<Refusal>& Refusals() {
  static const std::vector<Refusal> refusals = {
      {"NotAccepted", [](UpdateRunTest& t) { t.child.fields().FileFormatId.fill(0); },
       {std::string(update::messages::kNotAllowed.text) + " / Warning"}, false},
      {"NoChild", [](UpdateRunTest& t) { t.surface.child = nullptr; },
       {std::string(update::messages::kNotAllowed.text) + " / Warning"}, false},
      {"BufferCutAfterAcceptance", [](UpdateRunTest& t) { ASSERT_TRUE(t.child.ResizeBuffer(0x1FFFF)); },
       {std::string(update::messages::kNotAllowed.text) + " / Warning"}, false},
      {"NoToTheQuestion",
       [](UpdateRunTest& t) {
         t.Accept(programmer::MakeSystemImage("OTHER V2.00", 5));
         t.boxes.Answer(winapi::IDNO);
       },
       {std::string(update::messages::kModelQuestion.text) + " / Warning"}, false},
      {"NoProgrammerAnswers", [](UpdateRunTest& t) { t.device->faults().refuseProbe = true; },
       {"Not found hardware! / Warning"}, false},
      {"NakForABlockResult",
       [](UpdateRunTest& t) {
         t.onLook = [&t] {
           if (t.looks == 1) t.device->wire().faults().ReplaceCode(0xFF);
           return StopProbeResult::None;
         };
       },
       {"Update Error ! / "}},
      {"FailureInTheWait", [](UpdateRunTest& t) { t.device->faults().failBlock = 5; }, {"Update Error ! / "}},
      {"QuestionMarkResult", [](UpdateRunTest& t) { t.device->faults().errorBlock = 2; }, {"Update Error ! / "}},
      {"EndStatusZero", [](UpdateRunTest& t) { t.device->settings().endStatus = "00"; }, {"Update Error ! / "}},
      {"BusyPastTheLimit", [](UpdateRunTest& t) { t.device->faults().busyForeverAtBlock = 4; },
       {"Update Error ! / "}},
      // Busy answer after busy answer, each cycle ready at once, for 100 s: no time limit ends
      // it, the Stop button does.
      {"BusyInQuickCyclesUntilStop",
       [](UpdateRunTest& t) {
         t.device->settings().busyCycles = UINT32_MAX;
         t.device->settings().busyReads = 0;
         t.onLook = [&t] { return t.looks == 1000 ? StopProbeResult::StopPressed : StopProbeResult::None; };
       },
       {"User Press 'Stop' ! / Process Fail"}},
      {"LostWait",
       [](UpdateRunTest& t) {
         t.surface.onForm = [&t](const std::string&) {
           t.device->wire().faults().StallAnswer(programmer::WirePoint::UpdateCycle, 2);
         };
       },
       {"Update Error ! / "}},
      {"ShortWaitRequest",
       [](UpdateRunTest& t) {
         t.surface.onForm = [&t](const std::string&) { t.device->wire().faults().ShortPayload(3); };
       },
       {"Update Error ! / "}},
      {"ShortBlockResult",
       [](UpdateRunTest& t) {
         t.onLook = [&t] {
           if (t.looks == 1) t.device->wire().faults().ShortPayload(2);
           return StopProbeResult::None;
         };
       },
       {"Update Error ! / "}},
      {"VerifyMismatch", [](UpdateRunTest& t) { t.device->faults().damageOnCommit = 0x4321; },
       {"Update Error ! / ", "Update Fail! / Warning"}, true, true},
      // Programming ends after block 7 with the end frame; the flash keeps the old image, which
      // the verify then finds different.
      {"FinishedAfterBlockSeven", [](UpdateRunTest& t) { t.device->faults().finishAtBlock = 7; },
       {"Update Error ! / ", "Update Fail! / Warning"}, true, true},
      // Still writing its flash when the PC probes before the verify.
      {"BusyAtTheVerifyProbe", [](UpdateRunTest& t) { t.device->faults().busyReadsAfterCommit = 1000000; },
       {"Not found hardware! / ", "Update Fail! / Warning"}},
      {"Unplugged",
       [](UpdateRunTest& t) {
         t.surface.onForm = [&t](const std::string& action) {
           if (action == update::kProgramAction) t.device->faults().unplugAfterAccesses = t.device->accesses() + 20000;
         };
       },
       {"Update Error ! / "}},
      {"StopWhileProgramming",
       [](UpdateRunTest& t) {
         t.onLook = [&t] { return t.looks == 3 ? StopProbeResult::StopPressed : StopProbeResult::None; };
       },
       {"User Press 'Stop' ! / Process Fail"}},
      {"StopWhileVerifying",
       [](UpdateRunTest& t) {
         t.surface.onForm = [&t](const std::string& action) {
           if (action == update::kVerifyAction) t.onLook = [] { return StopProbeResult::StopPressed; };
         };
       },
       {"User Press 'Stop' ! / Process Fail", "Update Fail! / Warning"}, true, true},
  };
  return refusals;
}

class RefusedRun : public UpdateRunTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedRun, ShowsItsBoxesSendsNothingAfterThemAndEnablesTheMenu) {
  GetParam().arrange(*this);
  const bool untouched = GetParam().boxes.front().starts_with("The updating");
  run.Menu_Update1Click();
  EXPECT_EQ(BoxTexts(), GetParam().boxes);
  ExpectQuietAfterLastBox();
  if (untouched) {
    EXPECT_EQ(device->accesses(), 0u);
  }
  EXPECT_TRUE(surface.updateEnabled);
  EXPECT_EQ(surface.events.empty() ? "" : surface.events.front(), GetParam().disablesMenu ? "disabled" : "");
  EXPECT_FALSE(surface.formOpen);
  const bool programmed = device->log().commits == 1;
  if (!programmed) {
    EXPECT_EQ(device->flash(), oldFlash);
  }
  // A failed program run is never verified.
  EXPECT_EQ(device->log().compared > 0, GetParam().verifies);
}

INSTANTIATE_TEST_SUITE_P(Table, RefusedRun, ::testing::ValuesIn(Refusals()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateRunTest, StopWhileProgrammingClosesTheFormAndSkipsTheVerify) {
  onLook = [this] { return looks == 3 ? StopProbeResult::StopPressed : StopProbeResult::None; };
  run.Menu_Update1Click();
  EXPECT_EQ(device->log().aborts, 1u);
  EXPECT_EQ(device->log().compared, 0u);
  EXPECT_EQ(device->log().commits, 0u);
  EXPECT_EQ(boxes.boxes()[0].owner, surface.Frame());
  EXPECT_EQ(surface.events, (std::vector<std::string>{"disabled", "init", "init closed", update::kProgramAction,
                                                      "form closed", "enabled"}));
  // The programmer is idle again: the next run goes through.
  onLook = nullptr;
  boxes.Clear();
  run.Menu_Update1Click();
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Update OK! / PASS"});
  EXPECT_EQ(device->flash(), image);
}

TEST_F(UpdateRunTest, AShortIdentityGivesWhatItCarriesAndItsEmptyModelAsksTheQuestion) {
  device->wire().faults().ReplaceCode(0x55);
  device->wire().faults().ShortPayload(5);
  boxes.Answer(winapi::IDNO);
  run.Menu_Update1Click();
  EXPECT_EQ(device->log().acknowledges, std::vector<uint8_t>{0xFF});
  EXPECT_EQ(surface.idLabel, "Device ID : QZ7");
  EXPECT_EQ(surface.modelLabel, "Device Model : ");
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{std::string(update::messages::kModelQuestion.text) + " / Warning"});
  EXPECT_EQ(boxes.boxes()[0].flags, unsigned(winapi::MB_YESNO | winapi::MB_ICONWARNING));
}

TEST(ModelComparison, CutsAtTheFirstBlankAndTakesNoEmptyWordForAMatch) {
  struct Case {
    const char* file;
    const char* device;
    bool differ;
  };
  for (const Case& c : {Case{"ZORV-R77 V2.00", "ZORV-R77 V1.00", false}, Case{"ZORV-R77", "ZORV-R77 X", false},
                        Case{"ZORV-R77", "ZORV-R78", true}, Case{"zorv-r77", "ZORV-R77", true},
                        Case{"", "", true}, Case{" A", " A", true}, Case{"A", "", true}})
    EXPECT_EQ(update::ModelsDiffer(c.file, c.device), c.differ) << c.file << " | " << c.device;
}

// Block lengths and ranges the frame or the buffer cannot carry are refused before the port
// is touched.
TEST_F(UpdateRunTest, BadBlockLengthsAndRangesAreRefusedBeforeSending) {
  struct Case {
    std::int32_t start, end, blockLength;
  };
  for (const Case& c : {Case{0, 0x1FFFF, 0}, Case{0, 0x1FFFF, -8192}, Case{0, 0x1FFFF, 3000},
                        Case{0, 0xFFF8 - 1, 0xFFF8}, Case{0, 0x3FFFF, 8192}, Case{-8192, 0x1FFFF, 8192},
                        Case{0x2000, 0x1FFF, 8192}}) {
    EXPECT_EQ(update::ProgramImage(nullptr, child.buffer(), c.start, kProgrammerBase, "FF", c.blockLength, c.end,
                                   surface),
              update::kRunLinkFailed)
        << c.blockLength;
    EXPECT_EQ(update::VerifyImage(nullptr, child.buffer(), c.start, c.end, c.blockLength, "FF", "32",
                                  kProgrammerBase, surface),
              update::kRunLinkFailed)
        << c.blockLength;
  }
  EXPECT_EQ(device->accesses(), 0u);
}

}  // namespace
