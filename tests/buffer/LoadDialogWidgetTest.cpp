#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "buffer/DumpEdit.h"
#include "buffer/LoadDialog.h"
#include "buffer/core/DialogSettings.h"
#include "buffer/core/LoadDialogRules.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/Paths.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

namespace {

using namespace buffer;
using winapi::ScriptedMessageBoxes;

class LoadDialogWidgetTest : public ::testing::Test {
 protected:
  LoadDialogWidgetTest() : previousSettings_(SettingsPath()) {
    SetSettingsPath(dir_.File("History.ini"));
    winapi::SetProgramPath(dir_.File("bin/QZ_HOME"));
    dir_.Write("bin/.keep", "");
    dir_.Write("data.bin", std::string(0x100, 'x'));
    SetLoadedFileReporter([this](const std::string& name) { reported_.push_back(name); });
    SetLastLoadFormat(kFormatMotorolaHex);
  }
  ~LoadDialogWidgetTest() override {
    SetLoadedFileReporter(nullptr);
    winapi::SetProgramPath("");
    SetSettingsPath(previousSettings_);
  }

  static void Click(TRadioGroup* group, int index) {
    QRadioButton* button = group->findChildren<QRadioButton*>().at(index);
    // On the indicator: a short label leaves the middle of a wide button unclickable.
    int middle = button->height() / 2;
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(middle, middle));
  }
  static void Retype(QLineEdit* edit, const char* text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  std::string LoadKey(const char* key) const {
    return TIniFile(SettingsPath()).ReadString(kLoadDlgSection, key, "-");
  }

  TempDir dir_;
  ScriptedMessageBoxes boxes_;
  std::vector<std::string> reported_;
  std::string previousSettings_;
};

TEST_F(LoadDialogWidgetTest, OpensOnAutoDetectSeededFromTheSection) {
  struct Row {
    std::string section;
    const char* name;
    const char* start;
    const char* end;
    const char* fill;
    bool fillChecked;
  };
  const std::string data = dir_.File("data.bin");
  const Row rows[] = {
      {"Format=4\nUserFill=0\nName=" + data, data.c_str(), "000000", "0000FF", "FF", true},
      {"Format=0\nUserFill=0\nUnuserFillCheck=0", "None", "000000", "000000", "00", false},
      {"Format=8\nUserFill=1\nName=" + dir_.File("gone.bin"), "None", "000000", "000000", "FF",
       true},
      {"", "None", "000000", "000000", "FF", true},
  };
  for (const Row& row : rows) {
    dir_.Write("History.ini", "[LoadDlg]\nOK=1\n" + row.section + "\n");
    SetLastLoadFormat(kFormatIntelHex);
    TLoadDlg dialog;
    SCOPED_TRACE(row.section);
    EXPECT_EQ(ReadDialogOk(kLoadDlgSection), 0);
    EXPECT_EQ(dialog.windowTitle(), "Load File");
    EXPECT_EQ(dialog.NameEdit->Text(), row.name);
    EXPECT_EQ(dialog.SourceSAdd->text(), row.start);
    EXPECT_EQ(dialog.SourceEAdd->text(), row.end);
    EXPECT_EQ(dialog.UserFill->text(), row.fill);
    EXPECT_EQ(dialog.UnuserFillCheck->isChecked(), row.fillChecked);
    EXPECT_EQ(dialog.UserFill->isEnabled(), row.fillChecked);
    EXPECT_EQ(dialog.FormatGroup->ItemIndex(), kFormatAutoDetect);
    EXPECT_EQ(dialog.DistSAdd->text(), "000000");
    EXPECT_FALSE(dialog.DistSAdd->isEnabled());
    EXPECT_FALSE(dialog.SourceSAdd->isEnabled());
    EXPECT_FALSE(dialog.EvenOddRadioGroup->isEnabled());
    EXPECT_FALSE(dialog.ByteWordRadioGroup->isEnabled());
    EXPECT_EQ(dialog.EvenOddRadioGroup->ItemIndex(), 0);
    EXPECT_EQ(dialog.ByteWordRadioGroup->ItemIndex(), 0);
    EXPECT_EQ(LastLoadFormat(), kFormatAutoDetect);
  }
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(LoadDialogWidgetTest, FormatsSwitchTheControlsAndTheJedecFuseValue) {
  TLoadDlg dialog;
  dialog.show();
  Click(dialog.FormatGroup, kFormatBinary);
  EXPECT_TRUE(dialog.EvenOddRadioGroup->isEnabled());
  EXPECT_TRUE(dialog.SourceSAdd->isEnabled());
  EXPECT_TRUE(dialog.DistSAdd->isEnabled());
  EXPECT_FALSE(dialog.ByteWordRadioGroup->isEnabled());
  Retype(dialog.SourceSAdd, "123456789");
  EXPECT_EQ(dialog.SourceSAdd->text(), "1234567");
  Retype(dialog.DistSAdd, "123456789");
  EXPECT_EQ(dialog.DistSAdd->text(), "123456");
  Click(dialog.EvenOddRadioGroup, 1);
  EXPECT_TRUE(dialog.ByteWordRadioGroup->isEnabled());
  EXPECT_EQ(LastLoadFormat(), kFormatBinary);

  dialog.UnuserFillCheck->setChecked(false);
  EXPECT_FALSE(dialog.UserFill->isEnabled());
  Click(dialog.FormatGroup, kFormatJedec);
  EXPECT_TRUE(dialog.UnuserFillCheck->isChecked());
  EXPECT_TRUE(dialog.UserFill->isEnabled());
  EXPECT_FALSE(dialog.DistSAdd->isEnabled());
  EXPECT_FALSE(dialog.EvenOddRadioGroup->isEnabled());
  EXPECT_FALSE(dialog.ByteWordRadioGroup->isEnabled());
  EXPECT_EQ(dialog.UserFill->text(), "1");
  Retype(dialog.UserFill, "5");
  EXPECT_EQ(dialog.UserFill->text(), "0");
  Retype(dialog.UserFill, "1");
  QTest::keyClicks(dialog.UserFill, "1");
  EXPECT_EQ(dialog.UserFill->text(), "1");
  QTest::keyClick(dialog.UserFill, Qt::Key_Backspace);
  EXPECT_EQ(dialog.UserFill->text(), "0");

  Click(dialog.FormatGroup, kFormatAutoDetect);
  EXPECT_TRUE(dialog.DistSAdd->isEnabled());
  EXPECT_EQ(dialog.UserFill->text(), "FF");
  Retype(dialog.UserFill, "abc");
  EXPECT_EQ(dialog.UserFill->text(), "AB");
  EXPECT_EQ(LastLoadFormat(), kFormatAutoDetect);
}

TEST_F(LoadDialogWidgetTest, LoadRefusesUntilEveryCheckPassesThenWritesTheSection) {
  // The program's folder cannot be written: the history is lost, the load is not.
  dir_.Write("readonly", "");
  winapi::SetProgramPath(dir_.File("readonly") + "/QZ_HOME");
  TLoadDlg dialog;
  dialog.show();
  QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text, "Not Found File ! ");
  EXPECT_TRUE(dialog.isVisible());

  const std::string data = dir_.File("data.bin");
  dialog.NameEdit->lineEdit()->selectAll();
  QTest::keyClicks(dialog.NameEdit->lineEdit(), QString::fromStdString(data));
  EXPECT_EQ(dialog.SourceEAdd->text(), "0000FF");
  Click(dialog.FormatGroup, kFormatBinary);
  Click(dialog.EvenOddRadioGroup, 1);
  Click(dialog.ByteWordRadioGroup, 1);
  Click(dialog.FormatGroup, kFormatMsDosCom);
  EXPECT_FALSE(dialog.EvenOddRadioGroup->isEnabled());
  Retype(dialog.SourceEAdd, "100");
  QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
  Retype(dialog.SourceEAdd, "ff");
  Retype(dialog.DistSAdd, "F00000");
  QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
  ASSERT_EQ(boxes_.boxes().size(), 3u);
  EXPECT_EQ(boxes_.boxes()[1].text, "Input Value Error !");
  EXPECT_EQ(boxes_.boxes()[2].text, "Input Value Error !");
  EXPECT_EQ(ReadDialogOk(kLoadDlgSection), 0);
  EXPECT_TRUE(reported_.empty());

  Retype(dialog.SourceSAdd, "10");
  Retype(dialog.DistSAdd, "EFFFFF");
  QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
  EXPECT_EQ(boxes_.boxes().size(), 3u);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(ReadDialogOk(kLoadDlgSection), 1);
  EXPECT_EQ(LoadKey("SourceSAdd"), "16");
  EXPECT_EQ(LoadKey("SourceEAdd"), "255");
  EXPECT_EQ(LoadKey("DistSAdd"), std::to_string(0xEFFFFF));
  EXPECT_EQ(LoadKey("UserFill"), "255");
  EXPECT_EQ(LoadKey("Format"), "2");
  EXPECT_EQ(LoadKey("EvenOdd"), "1") << "a disabled group is written as it stands";
  EXPECT_EQ(LoadKey("EvenOddByteWord"), "1");
  EXPECT_EQ(LoadKey("UnuserFillCheck"), "1");
  EXPECT_EQ(LoadKey("Name"), data);
  EXPECT_EQ(LastLoadFormat(), kFormatMsDosCom);
  EXPECT_EQ(reported_, std::vector<std::string>{data});
  EXPECT_EQ(dialog.NameEdit->itemText(0).toStdString(), data);
}

TEST_F(LoadDialogWidgetTest, BrowseOpensTheFileDialogAndTakesThePickedFile) {
  dir_.Write("pick/PROG.BIN", std::string(0x1234, 'x'));
  dir_.Write("pick/other.txt", "x");
  TLoadDlg dialog;
  dialog.show();
  QStringList filters;
  bool caseSensitive = true;
  auto pick = [&](bool accept) {
    QTimer::singleShot(0, [&, accept] {
      auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(files, nullptr);
      filters = files->nameFilters();
      caseSensitive = files->filter().testFlag(QDir::CaseSensitive);
      EXPECT_EQ(files->fileMode(), QFileDialog::ExistingFile);
      files->setDirectory(QString::fromStdString(dir_.File("pick")));
      files->selectNameFilter("Binary (*.bin)");
      files->selectFile("PROG.BIN");
      // As the Open button does.
      QMetaObject::invokeMethod(files, accept ? "accept" : "reject");
    });
    QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);
  };
  pick(false);
  EXPECT_EQ(dialog.NameEdit->Text(), "None");
  pick(true);
  EXPECT_EQ(filters.size(), 6);
  EXPECT_EQ(filters.value(0), "All File (*)");
  EXPECT_FALSE(caseSensitive);
  EXPECT_EQ(dialog.NameEdit->Text(), dir_.File("pick/PROG.BIN"));
  EXPECT_EQ(dialog.SourceSAdd->text(), "000000");
  EXPECT_EQ(dialog.SourceEAdd->text(), "001233");
}

TEST_F(LoadDialogWidgetTest, TheDumpEditsLoadButtonsLoadOnlyAfterAConfirmedDialog) {
  dir_.Write("bin/QZ_HOME.INI", "[BinaryEditLoadFileHistory]\nH0=/old/a.hex\n");
  const std::string data = dir_.File("data.bin");
  int loads = 0;
  InstallToolDialog(ToolCommand::Load, [](TMainEdit&) { return std::make_unique<TLoadDlg>(); });
  InstallToolAction(ToolCommand::Load, [&loads](TMainEdit&) { ++loads; });
  TMainEdit form;
  form.ShowForm();
  auto answer = [&](std::function<void(TLoadDlg&)> use) {
    QTimer::singleShot(0, [use] {
      auto* dialog = qobject_cast<TLoadDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      use(*dialog);
    });
  };
  answer([&](TLoadDlg& dialog) {
    EXPECT_EQ(dialog.NameEdit->count(), 1);
    dialog.NameEdit->SetText(data);
    QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
  });
  form.findChild<QToolButton*>("LoadFileB")->click();
  EXPECT_EQ(loads, 1);
  const std::string history = "[BinaryEditLoadFileHistory]\r\nH0=" + data + "\r\nH1=/old/a.hex\r\n";
  EXPECT_EQ(dir_.Read("bin/QZ_HOME.INI"), history);

  answer([&](TLoadDlg& dialog) {
    EXPECT_EQ(dialog.NameEdit->Text(), data) << "the last loaded name comes back";
    dialog.NameEdit->setCurrentIndex(1);
    EXPECT_EQ(dialog.NameEdit->Text(), "/old/a.hex");
    Click(dialog.FormatGroup, kFormatIntelHex);
    QTest::mouseClick(dialog.BitBtn3, Qt::LeftButton);
  });
  form.findChild<QToolButton*>("SpeedButton1")->click();
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(ReadDialogOk(kLoadDlgSection), 0);
  EXPECT_EQ(LoadKey("Name"), data);
  EXPECT_EQ(dir_.Read("bin/QZ_HOME.INI"), history) << "Cancel keeps the history";
  EXPECT_EQ(reported_, std::vector<std::string>{data});
  EXPECT_EQ(LastLoadFormat(), kFormatIntelHex) << "a chosen format outlives Cancel";
  InstallToolDialog(ToolCommand::Load, nullptr);
  InstallToolAction(ToolCommand::Load, nullptr);
}

// A 300-byte path loaded: the Dump Edit and the Load dialog that has it in its history stay
// within the screen, the name cut in the middle and whole in the tooltip.
TEST_F(LoadDialogWidgetTest, ALongPathLeavesTheWindowsWithinTheScreen) {
  std::string folders;
  while (dir_.File(folders).size() < 250) folders += "a-folder-with-a-long-name/";
  const std::string name = dir_.File(folders + std::string(300 - dir_.File(folders).size(), 'n'));
  ASSERT_EQ(name.size(), 300u);
  dir_.Write(name.substr(dir_.File("").size()), std::string(0x100, 'x'));
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  InstallToolDialog(ToolCommand::Load, [](TMainEdit&) { return std::make_unique<TLoadDlg>(); });
  InstallToolAction(ToolCommand::Load, [](TMainEdit& edit) { edit.ShowBufferInfo(); });
  TMainEdit form;
  form.ShowForm();
  for (const bool again : {false, true}) {
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<TLoadDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      if (again) {
        EXPECT_LE(dialog->frameGeometry().width(), screen.width());
        EXPECT_EQ(dialog->NameEdit->toolTip().toStdString(), name);
      }
      dialog->NameEdit->SetText(name);
      QTest::mouseClick(dialog->BitBtn2, Qt::LeftButton);
    });
    form.findChild<QToolButton*>("LoadFileB")->click();
  }
  form.MainEditPage()->setCurrentIndex(2);
  QApplication::processEvents();  // the layout's pending resize
  // The offscreen screen keeps a window within it; a window manager gives the form its size.
  EXPECT_LE(form.sizeHint().width(), screen.width());
  EXPECT_TRUE(screen.contains(form.frameGeometry()));
  EXPECT_EQ(form.InfoPages().LastLoadFileNameLabel->toolTip().toStdString(), name);
  InstallToolDialog(ToolCommand::Load, nullptr);
  InstallToolAction(ToolCommand::Load, nullptr);
}

}  // namespace
