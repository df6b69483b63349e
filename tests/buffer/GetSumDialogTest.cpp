// The Get Check Sum dialog offscreen, and the Dump Edit's Get Check Sum and swap buttons
// through the installed tools: captions, the opening range, the twins, the range buttons,
// the accept checks, and the sum reported at the end.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <set>

#include "buffer/BufferTools.h"
#include "buffer/DumpEdit.h"
#include "buffer/DumpGrid.h"
#include "buffer/GetSumDlg.h"
#include "buffer/HexEntry.h"
#include "buffer/core/DialogSettings.h"
#include "buffer/core/Progress.h"
#include "buffer/core/SettingsPath.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/buffer/AnsweredGetSum.h"
#include "tests/support/TempDir.h"

namespace buffer {
namespace {

class GetSumDialogTest : public ::testing::Test {
 protected:
  GetSumDialogTest() : previous_(SettingsPath()) {
    SetSettingsPath(dir_.File("History.ini"));
    WriteBufferInfo({.BufSize = 0x100000, .FileSize = 0x2000, .FileStartAdd = 0x1001,
                     .BufHandle = 5});
  }
  ~GetSumDialogTest() override { SetSettingsPath(previous_); }

  void Open(TGetSumDialog& dialog) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
  }
  // Typing into an edit as the user does: click into it, replace its text.
  static void Type(QLineEdit* edit, const char* text) {
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  static std::vector<QString> Range(const TGetSumDialog& d) {
    return {d.StardAddEdit->text(), d.EndAddEdit->text(), d.StartAddEdit16->text(),
            d.EndStartAdd16->text()};
  }
  TIniFile Ini() const { return TIniFile(SettingsPath()); }

  TempDir dir_;
  std::string previous_;
  winapi::ScriptedMessageBoxes boxes_;
};

using Texts = std::vector<QString>;

TEST_F(GetSumDialogTest, OpensOnTheWholeBufferWithItsCaptionsHintsAndAnUnreachableIcButton) {
  Ini().WriteString(kGetSumSection, "OK", "1");
  TGetSumDialog dialog;
  EXPECT_EQ(ReadDialogOk(kGetSumSection), 0);
  Open(dialog);
  EXPECT_EQ(dialog.windowTitle(), "Get Check Sum");
  EXPECT_EQ(Range(dialog), (Texts{"000000", "0FFFFF", "000000", "07FFFF"}));
  const std::vector<std::tuple<QPushButton*, const char*, const char*>> buttons{
      {dialog.FillMaxRange, "Max", "Fill Max Range."},
      {dialog.FillFileRange, "File ", "Fill File Range"},
      {dialog.FillICSizeBB, "IC", "Fill File Range"},
      {dialog.GetSumBtn, "Get", "Get Check Sum Now !"},
      {dialog.ExitBtn, "Exit", "Exit !"}};
  for (const auto& [button, caption, hint] : buttons) {
    EXPECT_EQ(button->text(), caption);
    EXPECT_EQ(button->toolTip(), hint);
  }
  EXPECT_EQ(dialog.StardAddEdit->toolTip(), "Enter Start Address..");
  EXPECT_EQ(dialog.EndAddEdit->toolTip(), "Enter End Address..");
  std::set<QString> labels;
  for (QLabel* label : dialog.findChildren<QLabel*>()) labels.insert(label->text());
  for (const char* text : {"Start Address :", "End Address :", "8 Bit :", "16 Bit :", "Range :"})
    EXPECT_TRUE(labels.count(text)) << text;

  EXPECT_EQ(dialog.FillICSizeBB->width(), 0);
  std::set<QWidget*> reached;
  dialog.StardAddEdit->setFocus(Qt::TabFocusReason);
  for (int i = 0; i < 20; ++i) {
    reached.insert(QApplication::focusWidget());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  EXPECT_FALSE(reached.count(dialog.FillICSizeBB));
  EXPECT_TRUE(reached.count(dialog.FillFileRange));
  EXPECT_TRUE(reached.count(dialog.ExitBtn));
  EXPECT_TRUE(reached.count(dialog.EndStartAdd16));
  EXPECT_TRUE(boxes_.boxes().empty());

  TGetSumDialog updateTools(UpdateToolProfile());
  Open(updateTools);
  EXPECT_GT(updateTools.FillICSizeBB->width(), 0);
}

TEST_F(GetSumDialogTest, WithoutBufInfTheStoredRangeStays) {
  dir_.Write("History.ini", "[GetSumDlg]\nStartAdd=32\nEndAdd=65\n");
  TGetSumDialog dialog;
  Open(dialog);
  EXPECT_EQ(Range(dialog), (Texts{"000020", "000041", "000010", "000020"}));
  ASSERT_EQ(boxes_.boxes().size(), 2u);
  EXPECT_EQ(boxes_.boxes()[0].text, "History File Error !");
  EXPECT_EQ(boxes_.boxes()[1].text, "MEMORY ERROR.");
  dialog.FillFileRange->click();
  EXPECT_EQ(Range(dialog), (Texts{"000020", "000041", "000010", "000020"}));
}

TEST_F(GetSumDialogTest, TheSideTheUserTypesInDrivesItsTwin) {
  TGetSumDialog dialog;
  Open(dialog);
  Type(dialog.StardAddEdit, "000101");
  EXPECT_EQ(dialog.StartAddEdit16->text(), "000080");
  Type(dialog.StartAddEdit16, "000080");
  EXPECT_EQ(dialog.StardAddEdit->text(), "000100");
  Type(dialog.EndAddEdit, "12g34567");  // 'g' dropped, the seventh digit cut
  EXPECT_EQ(dialog.EndAddEdit->text(), "123456");
  EXPECT_EQ(dialog.EndStartAdd16->text(), "091A2B");
  // A range button stops either side driving while it writes.
  dialog.FillFileRange->click();
  EXPECT_EQ(Range(dialog), (Texts{"001001", "001FFF", "000800", "000FFF"}));
  EXPECT_EQ(dialog.Twins().Drive(), TwinDrive::None);
}

TEST_F(GetSumDialogTest, TheIcButtonTakesTheSelectedIcsSize) {
  dir_.Write("History.ini", dir_.Read("History.ini") + "[System]\nPath=" + dir_.path().string() +
                                "\n[SelectDlg]\nIcFileName=X.INI\n");
  TGetSumDialog dialog;
  Open(dialog);
  dialog.FillICSizeBB->click();  // without the IC file
  EXPECT_EQ(Range(dialog), (Texts{"000000", "FFFFFF", "000000", "FFFFFF"}));
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].caption, "Error !");
  dir_.Write("ini/X.INI", "[ICInformation]\nICSIZE=512\n");
  dialog.FillICSizeBB->click();
  EXPECT_EQ(Range(dialog), (Texts{"000000", "00FFFF", "000000", "007FFF"}));
}

TEST_F(GetSumDialogTest, GetRefusesUntilBothPairsPassThenWritesTheByteRange) {
  TGetSumDialog dialog;
  Open(dialog);
  Type(dialog.StardAddEdit, "000100");
  Type(dialog.EndAddEdit, "000101");
  dialog.GetSumBtn->click();  // words 000080..000080
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].caption, "Error");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(ReadDialogOk(kGetSumSection), 0);
  EXPECT_FALSE(Ini().ValueExists(kGetSumSection, "StartAdd"));

  Type(dialog.EndStartAdd16, "080000");  // twin 100000: not below BufSize
  dialog.GetSumBtn->click();
  ASSERT_EQ(boxes_.boxes().size(), 2u);
  EXPECT_EQ(boxes_.boxes()[1].caption, "ERROR");

  Type(dialog.StardAddEdit, "000101");
  Type(dialog.EndAddEdit, "000102");
  dialog.GetSumBtn->click();
  EXPECT_EQ(boxes_.boxes().size(), 2u);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Ini().ReadInteger(kGetSumSection, "StartAdd", 0), 0x101);
  EXPECT_EQ(Ini().ReadInteger(kGetSumSection, "EndAdd", 0), 0x102);
  EXPECT_EQ(Ini().ReadString(kGetSumSection, "OK", ""), "1");
}

TEST_F(GetSumDialogTest, ExitRefuses) {
  TGetSumDialog dialog;
  Open(dialog);
  dialog.ExitBtn->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(Ini().ReadString(kGetSumSection, "OK", ""), "0");
}

class DumpEditToolsTest : public GetSumDialogTest {
 protected:
  DumpEditToolsTest() {
    InstallBufferTools();
    InstallToolDialog(ToolCommand::GetSum, [this](TMainEdit& form) {
      return std::make_unique<AnsweredGetSum>(form.Profile(), exitShown_);
    });
    form_.ShowForm();
  }
  ~DumpEditToolsTest() override {
    for (int c = 0; c < kToolCommandCount; ++c) {
      InstallToolDialog(ToolCommand(c), nullptr);
      InstallToolAction(ToolCommand(c), nullptr);
    }
  }

  bool exitShown_ = false;
  RecordingProgress progress_;
  TMainEdit form_;
};

TEST_F(DumpEditToolsTest, GetCheckSumFromTheButtonAndAfterALoad) {
  form_.findChild<QToolButton*>("GetSumSpeed")->click();
  EXPECT_TRUE(exitShown_);
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text, "Address From 000000H To 0FFFFFH\n\nCheck Sum = 0FF00000");
  EXPECT_EQ(boxes_.boxes()[0].caption, "Get Check Sum");
  EXPECT_EQ(form_.Fields().LastSum, 0x0FF00000u);
  EXPECT_EQ(progress_.shows, 1);
  EXPECT_EQ(progress_.closes, 1);
  EXPECT_FALSE(progress_.visible);

  // After a load, without a sender: no Exit, and [BufInf] still says 0x100000 bytes while
  // the buffer holds 0x10000: the sum ends at the buffer's last byte.
  ASSERT_TRUE(form_.ResizeBuffer(0x10000));
  form_.GetSumSpeedClick(false);
  EXPECT_FALSE(exitShown_);
  ASSERT_EQ(boxes_.boxes().size(), 2u);
  EXPECT_EQ(boxes_.boxes()[1].text, "Address From 000000H To 00FFFFH\n\nCheck Sum = 00FF0000");
  EXPECT_EQ(form_.Fields().LastSumEnd, 0xFFFF);
  EXPECT_EQ(form_.Modified(), 0);
}

TEST_F(DumpEditToolsTest, SwapButtonsSwapTheWholeBufferAndShowIt) {
  {
    BufferLock lock(form_.Buffer());
    for (int i = 0; i < 8; ++i) lock[i] = static_cast<std::uint8_t>(i);
  }
  form_.findChild<QPushButton*>("WordSwapBitBtn")->click();
  EXPECT_EQ(form_.Grid(GridId::Hex8)->item(0, 0)->text(), "02");
  EXPECT_EQ(form_.Grid(GridId::Hex8)->item(0, 2)->text(), "00");
  form_.findChild<QPushButton*>("DWordSwapBitBt")->click();
  form_.findChild<QPushButton*>("ByteSwapBitBtn")->click();
  // 00..07 -> word swap 02 03 00 01 06 07 04 05 -> dword 06 07 04 05 02 03 00 01 -> bytes
  const char* expected[] = {"07", "06", "05", "04", "03", "02", "01", "00"};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(form_.Grid(GridId::Hex8)->item(0, i)->text(), expected[i]);
  EXPECT_EQ(progress_.captions, (std::vector<std::string>(3, "Processing...")));
  EXPECT_EQ(progress_.closes, 3);
  EXPECT_EQ(form_.Modified(), 0);
}

}  // namespace
}  // namespace buffer
