// The update tool's frame offscreen with images loaded through its load into the first child:
// which images are accepted and what the labels, the child's fields and the buffer show; then
// a whole update from the Update menu against the virtual programmer, and Stop pressed on the
// update form's button while programming.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "buffer/DumpEdit.h"
#include "buffer/core/SettingsPath.h"
#include "link/UpdateLink.h"
#include "platform/portio/FloatingPort.h"
#include "platform/portio/VirtualPortBackend.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "programmer/SystemImage.h"
#include "programmer/UpdateMode.h"
#include "tests/support/SteppingClock.h"
#include "tests/support/TempDir.h"
#include "update/Main.h"
#include "update/PrograssForm.h"
#include "update/ResizeBufDlg.h"
#include "update/StopProbe.h"
#include "update/core/UpdateImage.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kProgrammerBase = 0x378;

class UpdateImageFrame : public ::testing::Test {
 protected:
  UpdateImageFrame() : previous_(std::filesystem::current_path()), settings_(buffer::SettingsPath()) {
    std::filesystem::current_path(dir_.path());
    std::vector<portio::VirtualPortBackend::Port> ports;
    ports.push_back({0x3BC, std::make_unique<portio::FloatingPort>()});
    auto mode = std::make_unique<programmer::UpdateMode>();
    device = mode.get();
    ports.push_back({kProgrammerBase, std::move(mode)});
    portio::OpenVirtualPorts(std::move(ports));
    form = std::make_unique<update::TMainForm>();
    update::MainForm = form.get();
    form->show();
    QCoreApplication::sendPostedEvents();
    edit = form->ActiveDumpEdit();
  }
  ~UpdateImageFrame() override {
    qzlink::SetStopProbe({});
    qzlink::SetOnStop({});
    update::MainForm = nullptr;
    form.reset();
    portio::CloseVirtualPort();
    buffer::SetSettingsPath(settings_);
    std::filesystem::current_path(previous_);
  }

  // Loads the bytes as a file placed at `destination`.
  void Load(const Bytes& bytes, std::int32_t destination = 0) {
    const std::string name = dir_.File("image.bin");
    dir_.Write("image.bin", std::string(bytes.begin(), bytes.end()));
    TIniFile ini(buffer::SettingsPath());
    ini.WriteString("LoadDlg", "Name", name);
    ini.WriteInteger("LoadDlg", "DistSadd", destination);
    form->LoadUpdateImage(*edit);
  }
  Bytes BufferBytes() {
    buffer::BufferLock lock(edit->Buffer());
    return Bytes(lock.data(), lock.data() + lock.size());
  }

  TempDir dir_;
  std::filesystem::path previous_;
  std::string settings_;
  winapi::ScriptedMessageBoxes boxes;
  programmer::UpdateMode* device = nullptr;
  std::unique_ptr<update::TMainForm> form;
  buffer::TMainEdit* edit = nullptr;
};

struct ImageCase {
  const char* name;
  std::function<Bytes()> bytes;
};

Bytes GoodImage() { return programmer::MakeSystemImage("ZORV-R77 V2.00", 9); }
Bytes Changed(std::function<void(Bytes&)> change) {
  Bytes image = GoodImage();
  change(image);
  return image;
}

class RejectedImage : public UpdateImageFrame, public ::testing::WithParamInterface<ImageCase> {};

TEST_P(RejectedImage, IsWipedWithTheWarningAndTheErrorLabels) {
  Load(GoodImage());
  ASSERT_EQ(form->FileModelLabel->text(), "File Model : ZORV-R77 V2.00");
  Load(GetParam().bytes());
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, update::messages::kImageRejected.text);
  EXPECT_EQ(boxes.boxes()[0].caption, "Warning");
  EXPECT_EQ(boxes.boxes()[0].owner, edit);
  EXPECT_EQ(form->FileIDLabel->text(), "File Format ID  : Error!");
  EXPECT_EQ(form->FileModelLabel->text(), "File Model : Error !");
  // The earlier acceptance is withdrawn.
  EXPECT_EQ(edit->Fields().FileFormatId, (std::array<char, 20>{}));
  EXPECT_EQ(edit->Fields().FileModel, (std::array<char, 20>{}));
  const Bytes now = BufferBytes();
  EXPECT_TRUE(std::all_of(now.begin(), now.end(), [](uint8_t b) { return b == 0xFF; }));
  EXPECT_EQ(device->accesses(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RejectedImage,
    ::testing::Values(
        ImageCase{"SumNotAMultipleOf0x100", [] { return Changed([](Bytes& b) { b[0x100] ^= 1; }); }},
        ImageCase{"OneByteShort", [] { return Changed([](Bytes& b) { b.pop_back(); }); }},
        ImageCase{"OneByteLong", [] { return Changed([](Bytes& b) { b.push_back(0); }); }},
        ImageCase{"LowerCaseFirstTag", [] { return Changed([](Bytes& b) { b[0] = 'q'; b[0x1FFF6] += 'Q' - 'q'; }); }},
        ImageCase{"LowerCaseSecondTag",
                  [] { return Changed([](Bytes& b) { b[0x1FFE1] = 'z'; b[0x1FFF6] += 'Z' - 'z'; }); }},
        ImageCase{"AllZero", [] { return Bytes(0x20000, 0); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateImageFrame, AnImageIsAcceptedWithItsModelCutAtFifteenAndTheBufferGrowsForALargeFile) {
  Bytes image = programmer::MakeSystemImage("ABCDEFGHIJKLMNO", 4);
  ASSERT_NE(image[0x1FFF6], 0);  // the byte after the model is no terminator
  Load(image);
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(form->FileIDLabel->text(), "File Format ID : QZ7100");
  EXPECT_EQ(form->FileModelLabel->text(), "File Model : ABCDEFGHIJKLMNO");
  EXPECT_EQ(update::FieldText(edit->Fields().FileModel), "ABCDEFGHIJKLMNO");
  Bytes now = BufferBytes();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), now.begin()));

  // A file longer than the buffer grows it; the size alone rejects it.
  Load(Bytes(0x40000, 0x11));
  EXPECT_EQ(edit->Buffer().BufSize(), 0x40000);
  EXPECT_EQ(boxes.boxes().size(), 1u);
}

TEST_F(UpdateImageFrame, AHalfFileAtTheUpperHalfIsJudgedWithWhatTheBufferHoldsBelow) {
  const Bytes image = GoodImage();
  // The lower half's sum is a multiple of 0x100 in neither case; the upper half carries the
  // second tag and the balance byte, so its own sum decides.
  Bytes upper(image.begin() + 0x10000, image.end());
  std::uint32_t sum = 0;
  for (uint8_t b : upper) sum += b;
  upper[0xFFF6] = static_cast<uint8_t>(upper[0xFFF6] - (sum & 0xFF));
  Load(image);
  boxes.Clear();
  Load(upper, 0x10000);
  EXPECT_TRUE(boxes.boxes().empty()) << "the first tag is still in the buffer";
  // A buffer wiped to 0xFF holds no first tag.
  edit->FillBuffer(0xFF);
  Load(upper, 0x10000);
  EXPECT_EQ(boxes.boxes().size(), 1u);
}

// A small buffer without an image keeps its labels; a resize that keeps the image leaves its
// labels; one that cuts it shows the labels of a rejected image, and Update refuses without
// touching the programmer.
TEST_F(UpdateImageFrame, AResizeThatCutsTheImageShowsTheErrorLabelsAndUpdateRefuses) {
  struct Step {
    bool loadImage;
    const char* size;
    const char* shown;
  };
  for (const Step& step : {Step{false, "10000", "File Format ID : NONE"},
                           Step{true, "20000", "File Format ID : QZ7100"},
                           Step{false, "10000", "File Format ID  : Error!"}}) {
    if (step.loadImage) Load(GoodImage());
    edit->WriteBufferInfo();
    update::TResizeBufDialog dialog;
    dialog.AttachEditor(edit);
    dialog.BufSizeEdit->setText(step.size);
    dialog.OKBtn->click();
    EXPECT_EQ(form->FileIDLabel->text().toStdString(), step.shown) << step.size;
  }
  EXPECT_EQ(form->FileModelLabel->text(), "File Model : Error !");
  ASSERT_TRUE(boxes.boxes().empty());
  form->Menu_Update1->trigger();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, update::messages::kNotAllowed.text);
  EXPECT_EQ(device->accesses(), 0u);
}

TEST_F(UpdateImageFrame, TheUpdateMenuProgramsTheLoadedImageAndStopEndsARunWithTheMenuBack) {
  testsupport::SteppingClock clock(10);
  // Stop is pressed on the update form's button in the first busy phase of the second run.
  int runs = 0;
  int looks = 0;
  qzlink::SetStopProbe([&] {
    ++looks;
    if (runs != 2 || looks != 5 || update::UpDateForm == nullptr) return qzlink::StopProbeResult::None;
    auto* updateForm = static_cast<update::TUpDateForm*>(update::UpDateForm);
    return update::WindowText(updateForm->BitBtn1) == "Stop" ? qzlink::StopProbeResult::StopPressed
                                                            : qzlink::StopProbeResult::None;
  });
  qzlink::SetOnStop([] {
    if (update::UpDateForm != nullptr) update::UpDateForm->close();
  });
  const Bytes image = GoodImage();
  Load(image);
  ASSERT_TRUE(boxes.boxes().empty());
  bool menuEnabledInBox = true;
  std::string actionSeen;
  boxes.WhileShown([&](const winapi::ShownBox&) {
    menuEnabledInBox = form->Menu_Update1->isEnabled();
    if (update::UpDateForm) actionSeen = static_cast<update::TUpDateForm*>(update::UpDateForm)->Label1->text().toStdString();
  });

  runs = 1;
  form->Menu_Update1->trigger();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Update OK!");
  EXPECT_EQ(boxes.boxes()[0].caption, "PASS");
  EXPECT_EQ(boxes.boxes()[0].owner, form.get());
  EXPECT_FALSE(menuEnabledInBox);
  EXPECT_EQ(device->flash(), image);
  EXPECT_EQ(form->DeviceIDLabel->text(), "Device ID : QZ7100");
  EXPECT_EQ(form->DeviceModelLabel->text(), "Device Model : ZORV-R77 V1.00");
  EXPECT_EQ(update::FieldText(form->DeviceModel), "ZORV-R77 V1.00");
  EXPECT_TRUE(form->Menu_Update1->isEnabled());
  EXPECT_EQ(update::UpDateForm, nullptr);
  EXPECT_EQ(update::InitForm, nullptr);

  runs = 2;
  looks = 0;
  boxes.Clear();
  form->Menu_Update1->trigger();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "User Press 'Stop' !");
  EXPECT_EQ(boxes.boxes()[0].caption, "Process Fail");
  EXPECT_EQ(device->log().aborts, 1u);
  EXPECT_TRUE(form->Menu_Update1->isEnabled());
  EXPECT_EQ(update::UpDateForm, nullptr);
  // The identity of the second run is the image the first one wrote.
  EXPECT_EQ(form->DeviceModelLabel->text(), "Device Model : ZORV-R77 V2.00");
}

}  // namespace
