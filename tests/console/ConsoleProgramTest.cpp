// The console program from start to end, its message loop included.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "buffer/DumpEdit.h"
#include "buffer/DumpGrid.h"
#include "buffer/LoadDialog.h"
#include "buffer/RadioGroup.h"
#include "buffer/core/LoadFormat.h"
#include "console/ConsoleProgram.h"
#include "console/GangTool.h"
#include "console/Qz_M_Unit.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/support/FakePorts.h"
#include "tests/support/TempDir.h"

namespace {

class ConsoleProgramTest : public ::testing::Test {
 protected:
  ConsoleProgramTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
    FakePorts::Install(true, {0x378});
  }
  ~ConsoleProgramTest() override {
    std::filesystem::current_path(previous_);
    FakePorts::Remove();
  }

  // Runs the program; `inside` runs once the message loop is up. A loop that is still
  // running after `inside` (and everything it posted) has been dealt with is ended by a
  // call queued behind it, which RunConsole then returns as -1.
  int Run(const std::function<void()>& inside) {
    // Owned here, so a start that runs no loop leaves nothing to fire later.
    QTimer start;
    start.setSingleShot(true);
    QObject::connect(&start, &QTimer::timeout, [&] {
      inside();
      QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(-1); }, Qt::QueuedConnection);
    });
    start.start(0);
    const int result = console::RunConsole(*qApp);
    QCoreApplication::removePostedEvents(qApp, QEvent::MetaCall);
    return result;
  }

  TempDir dir_;
  std::filesystem::path previous_;
  winapi::ScriptedMessageBoxes boxes_;
};

// The user edits a byte in the Dump Edit, leaves it open and closes the console: the program
// ends without asking about the edit, the driver goes with the main form, and the forms
// are freed after it.
TEST_F(ConsoleProgramTest, ClosingTheMainFormEndsTheProgramWithAModifiedDumpEditOpen) {
  console::NameApplication();
  const uint32_t handle = portio::DriverHandle;
  bool driverOpenWhenTheDumpEditWent = true;
  boxes_.Answer(winapi::IDCANCEL);  // what the Dump Edit's question would get
  const int result = Run([&] {
    ASSERT_NE(QZ_M_Form, nullptr);
    EXPECT_TRUE(QZ_M_Form->isVisible());
    EXPECT_TRUE(QZ_M_Form->ConnectTimer->isActive());
    buffer::TMainEdit* edit = buffer::MainEditForm();
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(GangTools, nullptr);
    QObject::connect(edit, &QObject::destroyed, [&] {
      driverOpenWhenTheDumpEditWent = portio::DriverIsActive(portio::DriverHandle) != 0;
    });
    QTest::mouseClick(QZ_M_Form->SpeedButton4, Qt::LeftButton);
    ASSERT_TRUE(edit->isVisible());
    buffer::DumpGrid* hex = edit->Grid(buffer::GridId::Hex8);
    QTest::mouseClick(hex->viewport(), Qt::LeftButton, {},
                      hex->visualRect(hex->model()->index(0, 0)).center());
    QTest::keyClicks(hex, "34");
    ASSERT_EQ(edit->Modified(), 1);
    GangTools->show();

    QApplication::setActiveWindow(QZ_M_Form);
    QTest::mouseClick(QZ_M_Form->ExistSB, Qt::LeftButton);
  });
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(boxes_.boxes().empty());
  EXPECT_EQ(portio::DriverIsActive(handle), 0u);
  EXPECT_FALSE(driverOpenWhenTheDumpEditWent);
  EXPECT_EQ(QZ_M_Form, nullptr);
  EXPECT_EQ(GangTools, nullptr);
  EXPECT_EQ(buffer::MainEditForm(), nullptr);
  EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

TEST_F(ConsoleProgramTest, ClosingAnyOtherWindowLeavesTheProgramRunning) {
  const int result = Run([&] {
    buffer::MainEditForm()->ShowForm();
    buffer::MainEditForm()->close();
    GangTools->show();
    GangTools->close();
  });
  EXPECT_EQ(result, -1);  // still running until the test's queued end
}

TEST_F(ConsoleProgramTest, AFailedStartRunsNoLoop) {
  FakePorts::Install(false, {0x378});
  const int result = Run([] {});
  EXPECT_EQ(result, 0);
  EXPECT_EQ(boxes_.boxes().size(), 1u);  // the driver warning
  EXPECT_EQ(QZ_M_Form, nullptr);
}

// The platform appends a display name, when one is set, to every window title and box
// caption; the console's must read exactly as given.
TEST_F(ConsoleProgramTest, TheApplicationHasANameButNoDisplayNameToAppend) {
  console::NameApplication();
  EXPECT_EQ(QCoreApplication::applicationName(), "GANG PROGRAM");
  const QString named = QCoreApplication::applicationName();
  QCoreApplication::setApplicationName("probe");
  // Without a display name of its own, the display name follows the name.
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), "probe");
  QCoreApplication::setApplicationName(named);
}

// The console's Load button through the real Load dialog: a JEDEC file that passes its check
// goes into the buffer one fuse per byte and turns the fuse sending on; the next load, an
// Intel Hex file, turns it off and reports its checksum.
TEST_F(ConsoleProgramTest, TheLoadButtonLoadsThroughTheDialogAndSetsTheJedecSendMode) {
  dir_.Write("gal.jed", "\x02\n*QF8*\nL0 10101010*\n\x03");
  dir_.Write("prog.hex", ":0300300002337A1E\r\n:00000001FF\r\n");
  auto answer = [](const std::string& name, int format) {
    QTimer::singleShot(0, [name, format] {
      auto* dialog = qobject_cast<buffer::TLoadDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      dialog->NameEdit->SetText(name);
      dialog->FormatGroup->SetItemIndex(format);
      QTest::mouseClick(dialog->BitBtn2, Qt::LeftButton);
    });
  };
  Run([&] {
    buffer::TMainEdit* edit = buffer::MainEditForm();
    ASSERT_NE(edit, nullptr);
    answer(dir_.File("gal.jed"), buffer::kFormatJedec);
    QTest::mouseClick(QZ_M_Form->SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(QZ_M_Form->JedecSendMode, 1);
    {
      buffer::BufferLock lock(edit->Buffer());
      for (int k = 0; k < 8; ++k) EXPECT_EQ(lock[k], (k + 1) % 2) << "fuse " << k;
    }
    EXPECT_FALSE(QZ_M_Form->JedecText.empty());

    boxes_.Clear();
    answer(dir_.File("prog.hex"), buffer::kFormatAutoDetect);
    QTest::mouseClick(QZ_M_Form->SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(QZ_M_Form->JedecSendMode, 0);
    ASSERT_EQ(boxes_.boxes().size(), 2u);
    EXPECT_EQ(boxes_.boxes()[0].text, "This is Intel Hex format !");
    EXPECT_EQ(boxes_.boxes()[1].caption, "Get Check Sum");
    buffer::BufferLock lock(edit->Buffer());
    EXPECT_EQ(lock[0x31], 0x33);
  });
}

}  // namespace
