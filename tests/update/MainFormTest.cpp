// QZ_UPDate's frame offscreen: its start-up with and without the driver, the first Dump Edit
// child and how the update tool's Dump Edit differs, and closing.
#include "update/Main.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <filesystem>
#include <memory>

#include "buffer/DumpEdit.h"
#include "buffer/DumpGrid.h"
#include "buffer/core/SettingsPath.h"
#include "platform/portio/PortDriver.h"
#include "platform/winapi/Paths.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/support/FakePorts.h"
#include "tests/support/TempDir.h"

namespace {

using buffer::GridId;
using update::TMainForm;

class UpdateFrame : public ::testing::Test {
 protected:
  UpdateFrame() : previous_(std::filesystem::current_path()), settings_(buffer::SettingsPath()) {
    std::filesystem::current_path(dir_.path());
  }
  ~UpdateFrame() override {
    form.reset();
    FakePorts::Remove();
    buffer::SetSettingsPath(settings_);
    std::filesystem::current_path(previous_);
  }

  void Start(bool driverActive) {
    FakePorts::Install(driverActive, {0x378});
    form = std::make_unique<TMainForm>();
    form->show();
  }
  // The message loop's turn: the posted message opens the first child.
  static void RunMessages() { QCoreApplication::sendPostedEvents(); }
  static void FreeClosed() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  buffer::TMainEdit* Child() const { return form->ActiveDumpEdit(); }
  void ClickCell(GridId id, int column, int gridRow) {
    buffer::DumpGrid* grid = Child()->Grid(id);
    const QRect cell = grid->visualRect(grid->model()->index(gridRow - 1, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
  }

  TempDir dir_;
  winapi::ScriptedMessageBoxes boxes;
  std::unique_ptr<TMainForm> form;

 private:
  std::filesystem::path previous_;
  std::string settings_;
};

class InactiveDriver : public UpdateFrame, public ::testing::WithParamInterface<int> {};

TEST_P(InactiveDriver, WarnsOnceWhicheverButtonAndStillOpensTheFirstChild) {
  boxes.Answer(GetParam());
  Start(false);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.beeps(), std::vector<unsigned>{0});
  EXPECT_EQ(boxes.boxes()[0].text, "The driver TVicHW32 can not be found!");
  EXPECT_EQ(boxes.boxes()[0].caption, " Warning! ");
  EXPECT_EQ(boxes.boxes()[0].flags, unsigned(winapi::MB_OKCANCEL));
  EXPECT_EQ(boxes.boxes()[0].owner, nullptr);
  EXPECT_EQ(update::DriverActive, 0u);
  // Posted, not sent: no child before the message loop runs.
  EXPECT_EQ(Child(), nullptr);
  RunMessages();
  ASSERT_NE(Child(), nullptr);
  EXPECT_EQ(Child()->windowTitle(), "Dump Edit-1");
  EXPECT_EQ(boxes.boxes().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Answers, InactiveDriver, ::testing::Values(winapi::IDOK, winapi::IDCANCEL));

TEST_F(UpdateFrame, StartsSilentlyWithItsLabelsSettingsFileAndAZeroChildOf0x30000Bytes) {
  Start(true);
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(update::DriverActive, 1u);
  EXPECT_EQ(form->windowTitle(), "System Update ");
  EXPECT_EQ(form->FileIDLabel->text(), "File Format ID : NONE");
  EXPECT_EQ(form->FileModelLabel->text(), "File Model : NONE");
  EXPECT_EQ(form->DeviceIDLabel->text(), "Device format ID : NONE");
  EXPECT_EQ(form->DeviceModelLabel->text(), "Device Model : NONE");
  EXPECT_EQ(form->Menu_Update1->text(), "Update");
  EXPECT_EQ(form->DeviceFormatId, (std::array<char, 20>{}));
  EXPECT_EQ(buffer::SettingsPath(), winapi::CurrentDirectory() + "\\Zorv_R77Update.ini");

  RunMessages();
  buffer::TMainEdit* child = Child();
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(form->MdiArea->subWindowList().size(), 1);
  std::int32_t size = 0;
  child->QueryBufferSize(size);
  EXPECT_EQ(size, 0x30000);
  EXPECT_EQ(child->MaxRow(), 0x3000 - 13);
  EXPECT_EQ(child->Fields().FileFormatId, (std::array<char, 20>{}));
  EXPECT_EQ(child->Fields().FileModel, (std::array<char, 20>{}));
  buffer::BufferLock lock(child->Buffer());
  EXPECT_TRUE(std::all_of(lock.data(), lock.data() + size, [](std::uint8_t b) { return b == 0; }));
  // The whole form shows in the frame.
  EXPECT_GE(form->MdiArea->viewport()->width(), form->MdiArea->subWindowList()[0]->width());
}

TEST_F(UpdateFrame, TheChildShowsOnlyItsByteSheetWhoseDisabledBarStillFollowsTheKeys) {
  Start(true);
  RunMessages();
  buffer::TMainEdit* child = Child();
  QTabWidget* pages = child->MainEditPage();
  for (int tab = 1; tab < pages->count(); ++tab) EXPECT_FALSE(pages->isTabVisible(tab)) << tab;
  // The hidden sheets (the buffer map is taller) leave the form the 8-bit sheet's height.
  EXPECT_LT(pages->minimumSizeHint().height(), pages->widget(0)->sizeHint().height() + 60);
  pages->setCurrentIndex(2);
  EXPECT_EQ(pages->currentIndex(), 0);
  QScrollBar* bar = child->ScrollBar(buffer::ScrollBarId::Bits8);
  EXPECT_FALSE(bar->isEnabled());

  ClickCell(GridId::Hex8, 3, 9);
  EXPECT_EQ(child->Grid(GridId::Ascii8)->currentColumn(), 3);
  EXPECT_TRUE(child->EditRecordList().records().empty());
  QTest::keyClick(child->Grid(GridId::Hex8), Qt::Key_PageDown);
  std::int32_t top = 0;
  child->QueryTopRow(top);
  EXPECT_EQ(top, 13);
  EXPECT_EQ(bar->value(), 13);
}

TEST_F(UpdateFrame, ClosingAnUneditedChildFreesItAndLoadThenFindsNoChild) {
  Start(true);
  RunMessages();
  QPointer<buffer::TMainEdit> child = Child();
  form->MdiArea->currentSubWindow()->close();
  FreeClosed();
  EXPECT_TRUE(child.isNull());
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(form->ActiveDumpEdit(), nullptr);
  form->Load1Click();
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(UpdateFrame, AnEditedChildAsksAndStaysOnCancelAndSoDoesTheFrame) {
  Start(true);
  RunMessages();
  QPointer<buffer::TMainEdit> child = Child();
  ClickCell(GridId::Hex8, 0, 1);
  QTest::keyClicks(child->Grid(GridId::Hex8), "12");
  ASSERT_EQ(child->Modified(), 1);

  boxes.Answer(winapi::IDCANCEL);
  EXPECT_FALSE(form->close());
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Are you sure to close file ?");
  FreeClosed();
  EXPECT_FALSE(child.isNull());
  EXPECT_NE(portio::DriverIsActive(portio::DriverHandle), 0u);

  boxes.Answer(winapi::IDOK);
  EXPECT_TRUE(form->close());
  FreeClosed();
  EXPECT_TRUE(child.isNull());
  // The frame's close released the driver.
  EXPECT_EQ(portio::DriverIsActive(portio::DriverHandle), 0u);
}

}  // namespace
