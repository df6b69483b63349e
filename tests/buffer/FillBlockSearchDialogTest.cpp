// The Fill Data, Block and Search dialogs offscreen, and one road through the Dump Edit's
// Fill, Block, Search and Search Next buttons with the installed tools.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <functional>

#include "buffer/BlockDlg.h"
#include "buffer/BufferTools.h"
#include "buffer/DumpEdit.h"
#include "buffer/FillDataDlg.h"
#include "buffer/LoadDialog.h"
#include "buffer/RadioGroup.h"
#include "buffer/SaveDlg.h"
#include "buffer/SearchDlg.h"
#include "buffer/SetHexPosition.h"
#include "buffer/core/BlockOps.h"
#include "buffer/core/DialogSettings.h"
#include "buffer/core/FillData.h"
#include "buffer/core/Progress.h"
#include "buffer/core/SettingsPath.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

namespace buffer {
namespace {

class DialogTest : public ::testing::Test {
 protected:
  DialogTest() : previous_(SettingsPath()) {
    SetSettingsPath(dir_.File("History.ini"));
    Describe(0x100000);
  }
  ~DialogTest() override {
    SetSettingsPath(previous_);
    SetLoadedFileReporter(nullptr);
  }
  static void Describe(std::int32_t bufSize) {
    WriteBufferInfo({.BufSize = bufSize, .FileSize = 0x2000, .FileStartAdd = 0x1001,
                     .BufHandle = 5});
  }
  static void Open(QDialog& dialog) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
  }
  static void Type(QLineEdit* edit, const char* text) {
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : boxes_.boxes()) texts.push_back(box.text + " / " + box.caption);
    return texts;
  }
  TIniFile Ini() const { return TIniFile(SettingsPath()); }

  TempDir dir_;
  std::string previous_;
  winapi::ScriptedMessageBoxes boxes_;
};

using Texts = std::vector<QString>;
using Strings = std::vector<std::string>;

TEST_F(DialogTest, FillDataOpensOnTheWholeBufferAndRefusesATwoByteEvenRange) {
  dir_.Write("History.ini", dir_.Read("History.ini") +
                                "[FillDataDlg]\nStartAdd=16\nEndAdd=32\nSelect=3\nUserData=90\n"
                                "UserCheck=1\nOK=1\n");
  std::string reported = "file.bin";
  SetLoadedFileReporter([&reported](const std::string& name) { reported = name; });
  TFillDataDialog dialog;
  EXPECT_EQ(ReadDialogOk(kFillDataSection), 0);
  Open(dialog);
  EXPECT_EQ(dialog.windowTitle(), "Fill Data");
  EXPECT_EQ(Texts({dialog.SAddEdit8->text(), dialog.EAddEdit8->text(), dialog.SAddEdit16->text(),
                   dialog.EAddEdit16->text()}),
            (Texts{"000000", "0FFFFF", "000000", "07FFFF"}));
  EXPECT_EQ(dialog.FillDataGroup->ItemIndex(), 3);
  EXPECT_EQ(dialog.FillDataGroup->title(), "Fill Data Select");
  EXPECT_EQ(dialog.FillDataGroup->Button(4)->text(), "Sequential Word");
  EXPECT_EQ(dialog.UserDefineEdit->text(), "5A");
  EXPECT_TRUE(dialog.UserCheckBox->isChecked());
  EXPECT_FALSE(dialog.FillDataGroup->isEnabled());
  dialog.UserCheckBox->click();
  EXPECT_FALSE(dialog.UserDefineEdit->isEnabled());
  EXPECT_TRUE(dialog.FillDataGroup->isEnabled());
  EXPECT_EQ(dialog.FillICSizeBB->width(), 0);

  Type(dialog.SAddEdit8, "000100");
  Type(dialog.EAddEdit8, "000101");
  dialog.FillBtn->click();  // words 000080..000080
  EXPECT_EQ(BoxTexts(), Strings{"Input Value Error ! / Error"});
  EXPECT_TRUE(dialog.isVisible());
  Type(dialog.SAddEdit8, "000101");
  Type(dialog.EAddEdit8, "000102");
  dialog.FillDataGroup->Button(4)->click();
  dialog.FillBtn->click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(Ini().ReadInteger(kFillDataSection, "StartAdd", 0), 0x101);
  EXPECT_EQ(Ini().ReadInteger(kFillDataSection, "EndAdd", 0), 0x102);
  EXPECT_EQ(Ini().ReadInteger(kFillDataSection, "Select", 0), 4);
  EXPECT_EQ(Ini().ReadInteger(kFillDataSection, "UserCheck", 1), 0);
  EXPECT_EQ(Ini().ReadInteger(kFillDataSection, "UserData", 0), 0x5A);
  EXPECT_EQ(ReadDialogOk(kFillDataSection), 1);
  EXPECT_EQ(reported, "");

  TFillDataDialog cancelled;
  Open(cancelled);
  EXPECT_EQ(cancelled.FillDataGroup->ItemIndex(), 4);
  EXPECT_FALSE(cancelled.UserDefineEdit->isEnabled());
  cancelled.CancelBtn->click();
  EXPECT_EQ(Ini().ReadString(kFillDataSection, "OK", ""), "0");
}

TEST_F(DialogTest, BlockDialogChecksTheDestinationAndTheMaskAndWritesItsKeys) {
  Describe(0x30000);
  dir_.Write("History.ini", dir_.Read("History.ini") +
                                "[BlockDlg]\nStartAdd=0\nEndAdd=16\nDistSAdd=32\nAction=2\n");
  TBlockDialog dialog;
  const auto icons = Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint;
  EXPECT_EQ(dialog.windowFlags() & icons, Qt::WindowMinMaxButtonsHint);
  EXPECT_EQ(dialog.DistSAddLabel->text(), "000030");
  EXPECT_EQ(dialog.DistSAdd16Label->text(), "000018");
  EXPECT_TRUE(dialog.MaskDataEdit->isEnabled());
  EXPECT_EQ(dialog.BufferSizeLabel->text(), "030000");
  EXPECT_EQ(dialog.BufferSizeTrackBar->value(), 2);
  EXPECT_EQ(dialog.NewBufferSizeLabel->text(), "040000");
  Open(dialog);
  EXPECT_EQ(dialog.windowTitle(), "Block Dialog");
  EXPECT_EQ(dialog.EndAddEdit->text(), "02FFFF");
  EXPECT_EQ(dialog.DistSAdd8->text(), "000020");
  // The whole buffer from 000020 would end past it.
  EXPECT_EQ(dialog.DistSAddLabel->text(), "03001F");
  dialog.GetSumBtn->click();
  EXPECT_EQ(BoxTexts(), Strings{"Input Value Error ! / ERROR"});

  Type(dialog.EndAddEdit, "00000F");
  EXPECT_EQ(dialog.DistSAddLabel->text(), "00002F");
  EXPECT_EQ(dialog.EndStartAdd16->text(), "000007");
  Type(dialog.DistSAdd16, "000100");
  EXPECT_EQ(dialog.DistSAdd8->text(), "000200");
  EXPECT_EQ(dialog.DistSAdd16Label->text(), "000107");
  EXPECT_EQ(dialog.DistSAddLabel->text(), "00020F");
  Type(dialog.MaskDataEdit, "ff0g12");
  EXPECT_EQ(dialog.MaskDataEdit->text(), "FF01");  // G cut, the fifth digit too
  dialog.ActionGroup->Button(0)->click();
  EXPECT_FALSE(dialog.MaskDataEdit->isEnabled());
  dialog.GetSumBtn->click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(Ini().ReadInteger(kBlockSection, "EndAdd", 0), 0xF);
  EXPECT_EQ(Ini().ReadInteger(kBlockSection, "DistSAdd", 0), 0x200);
  EXPECT_EQ(Ini().ReadInteger(kBlockSection, "Action", 9), 0);
  EXPECT_EQ(Ini().ReadInteger(kBlockSection, "MaskData", 0), 0xFF01);
  EXPECT_EQ(ReadDialogOk(kBlockSection), 1);

  Describe(0x1020000);
  TBlockDialog large;
  EXPECT_EQ(large.BufferSizeTrackBar->value(), 8);
  EXPECT_EQ(large.NewBufferSizeLabel->text(), "1000000");
  EXPECT_FALSE(large.MaskDataEdit->isEnabled());
  large.ExitBtn->click();
  EXPECT_EQ(ReadDialogOk(kBlockSection), 0);
}

TEST_F(DialogTest, SearchCellsFollowEachOtherAndMakeThePattern) {
  TSearchDialog dialog;
  Open(dialog);
  EXPECT_EQ(dialog.windowTitle(), "Search Data");
  SearchCells& cells = dialog.Cells();
  dialog.BinSG->setFocus(Qt::MouseFocusReason);
  QTest::keyClicks(dialog.BinSG, "4");
  EXPECT_EQ(cells.Cell(SearchGrid::Binary, 0), "4");
  QTest::keyClicks(dialog.BinSG, "1");
  EXPECT_EQ(cells.Cell(SearchGrid::Ascii, 0), "A");
  EXPECT_EQ(dialog.AsciiSG->item(0, 0)->text(), "A");
  EXPECT_EQ(cells.Column(SearchGrid::Binary), 1);
  EXPECT_EQ(cells.Column(SearchGrid::Ascii), 1);
  QTest::keyClicks(dialog.BinSG, "g1");  // 'g' dropped; a one-digit cell
  EXPECT_TRUE(cells.SkipNextArrow());
  QTest::keyClick(dialog.BinSG, Qt::Key_Right);
  EXPECT_EQ(cells.Column(SearchGrid::Ascii), 1);  // right after a first digit: not followed
  QTest::keyClicks(dialog.BinSG, "2f");
  EXPECT_EQ(cells.Cell(SearchGrid::Binary, 2), "2F");
  EXPECT_EQ(cells.ReadPattern(), "41012F");

  dialog.AsciiSG->setFocus(Qt::MouseFocusReason);
  QTest::mouseClick(dialog.AsciiSG->viewport(), Qt::LeftButton, {},
                    dialog.AsciiSG->visualItemRect(dialog.AsciiSG->item(0, 9)).center());
  EXPECT_EQ(cells.Column(SearchGrid::Binary), 9);
  QTest::keyClicks(dialog.AsciiSG, "B");
  EXPECT_EQ(cells.Cell(SearchGrid::Binary, 9), "42");
  EXPECT_EQ(cells.Column(SearchGrid::Ascii), 0);  // after the tenth cell, the first
  QTest::keyClick(dialog.AsciiSG, Qt::Key_Right);
  EXPECT_EQ(cells.Column(SearchGrid::Binary), 1);

  dialog.ClearBtn->click();
  EXPECT_EQ(dialog.BinSG->item(0, 0)->text(), "");
  dialog.SearchBtn->click();
  EXPECT_EQ(BoxTexts(), Strings{"Not Found Any Data of Target ! / Input Error"});
  EXPECT_TRUE(dialog.isVisible());

  cells.ShowPattern("1234");
  cells.ShowPattern("");
  EXPECT_EQ(cells.ReadPattern(), "1234");
  SearchCells gap;
  gap.ShowPattern("12345678");
  gap.SetColumn(SearchGrid::Binary, 2);
  gap.EraseChar(SearchGrid::Binary);
  gap.EraseChar(SearchGrid::Binary);
  EXPECT_EQ(gap.ReadPattern(), "1234");
}

// Every dialog with a choice of items opens where its layout starts, and Tab enters each
// radio group at its chosen item (Space there must not change the choice); the arrows still
// move within the group.
TEST_F(DialogTest, TabEntersARadioGroupAtItsChosenItem) {
  TIniFile ini = Ini();
  ini.WriteInteger(kFillDataSection, "Select", 1);
  ini.WriteInteger(kBlockSection, "Action", 1);
  ini.WriteInteger("SaveDlg", "Format", 2);
  struct Row {
    const char* name;
    std::function<std::unique_ptr<QDialog>()> make;
    const char* opensIn;  // object name; empty: the group's chosen item
    std::function<TRadioGroup*(QDialog&)> group;
  };
  auto fill = [](QDialog& d) { return static_cast<TFillDataDialog&>(d).FillDataGroup; };
  const std::vector<Row> rows{
      {"Fill", [] { return std::make_unique<TFillDataDialog>(); }, "SAddEdit8", fill},
      {"Fill of the update tool", [] { return std::make_unique<TFillDataDialog>(UpdateToolProfile()); },
       "SAddEdit8", fill},
      {"Block", [] { return std::make_unique<TBlockDialog>(); }, "StardAddEdit",
       [](QDialog& d) { return static_cast<TBlockDialog&>(d).ActionGroup; }},
      {"Save", [] { return std::make_unique<TLoadSaveDlg>(); }, "NameEdit",
       [](QDialog& d) { return static_cast<TLoadSaveDlg&>(d).FormatGroup; }},
      {"Intel Hex start address",
       [] {
         auto form = std::make_unique<THexForm>();
         form->SelectMode()->SetItemIndex(1);
         return form;
       },
       "", [](QDialog& d) { return static_cast<THexForm&>(d).SelectMode(); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::unique_ptr<QDialog> dialog = row.make();
    TRadioGroup* group = row.group(*dialog);
    QWidget* chosen = group->Button(group->ItemIndex());
    Open(*dialog);
    QWidget* opening = QApplication::focusWidget();
    ASSERT_NE(opening, nullptr);
    EXPECT_EQ(opening, *row.opensIn ? dialog->findChild<QWidget*>(row.opensIn) : chosen);
    std::vector<QWidget*> reached;
    do {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      reached.push_back(QApplication::focusWidget());
    } while (reached.back() != opening && reached.size() < 30);
    for (int i = 0; i < group->Count(); ++i)
      EXPECT_EQ(std::count(reached.begin(), reached.end(), group->Button(i)),
                group->Button(i) == chosen ? 1 : 0)
          << group->Button(i)->text().toStdString();
    chosen->setFocus(Qt::TabFocusReason);
    QTest::keyClick(chosen, Qt::Key_Down);
    QWidget* moved = QApplication::focusWidget();
    EXPECT_NE(moved, chosen);
    EXPECT_EQ(moved, group->Button(group->ItemIndex())) << "the arrow chose the next item";
  }

  // The Fill Data dialog, after an "All Bit 0" fill: Tab runs from its start address through
  // its layout, top to bottom and left to right.
  TFillDataDialog dialog;
  Open(dialog);
  ASSERT_EQ(QApplication::focusWidget(), dialog.SAddEdit8);
  EXPECT_EQ(dialog.FillDataGroup->ItemIndex(), 1);
  const std::vector<QWidget*> order{dialog.SAddEdit16,   dialog.EAddEdit8,
                                    dialog.EAddEdit16,   dialog.MaxRangeBtn,
                                    dialog.FileRangeBtn, dialog.FillDataGroup->Button(1),
                                    dialog.UserCheckBox, dialog.FillBtn,
                                    dialog.CancelBtn,    dialog.SAddEdit8};
  for (QWidget* next : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
  }
}

// In both programs the dialog opens ready for the pattern's first byte; Tab then goes from the
// byte cells through the characters and the direction to the buttons.
TEST_F(DialogTest, SearchOpensOnTheFirstByteCellAndTabsToTheButtons) {
  for (HexKeyRule rule : {HexKeyRule::KeepBackspace, HexKeyRule::DropBackspace}) {
    TSearchDialog dialog(rule);
    Open(dialog);
    ASSERT_EQ(QApplication::focusWidget(), dialog.BinSG);
    QTest::keyClicks(QApplication::focusWidget(), "41");
    EXPECT_EQ(dialog.Cells().Cell(SearchGrid::Binary, 0), "41");
    EXPECT_EQ(dialog.AsciiSG->item(0, 0)->text(), "A");
    const std::vector<QWidget*> order{dialog.AsciiSG, dialog.RadioGroup1->Button(0), dialog.ClearBtn,
                                      dialog.SearchBtn, dialog.CancelBtn, dialog.BinSG};
    for (QWidget* next : order) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
  }
}

TEST_F(DialogTest, ATypedCharacterLeavesTheBinaryRowOnItsOwnColumn) {
  TSearchDialog dialog;
  Open(dialog);
  dialog.AsciiSG->setFocus(Qt::MouseFocusReason);
  QTest::keyClicks(dialog.AsciiSG, "AB");
  EXPECT_EQ(dialog.Cells().Column(SearchGrid::Binary), 1);
  EXPECT_EQ(dialog.Cells().Column(SearchGrid::Ascii), 2);
  QTest::keyClick(dialog.AsciiSG, Qt::Key_Backtab);
  ASSERT_TRUE(dialog.BinSG->hasFocus());
  QTest::keyClicks(dialog.BinSG, "43");
  EXPECT_EQ(dialog.Cells().ReadPattern(), "4143");
  EXPECT_EQ(dialog.AsciiSG->item(0, 1)->text(), "C");
}

// The real dialogs, answered once they are on screen.
template <class Dialog>
class Answered : public Dialog {
 public:
  template <class... Args>
  explicit Answered(std::function<void(Dialog&)> answer, Args&&... args)
      : Dialog(std::forward<Args>(args)...), answer_(std::move(answer)) {}
  int exec() override {
    this->show();
    answer_(*this);
    return this->result();
  }

 private:
  std::function<void(Dialog&)> answer_;
};

class DumpEditRoadTest : public DialogTest {
 protected:
  DumpEditRoadTest() {
    InstallBufferTools();
    form_.ShowForm();
  }
  ~DumpEditRoadTest() override {
    for (int c = 0; c < kToolCommandCount; ++c) {
      InstallToolDialog(ToolCommand(c), nullptr);
      InstallToolAction(ToolCommand(c), nullptr);
    }
  }
  QString Hex8(int column, int row) const {
    return form_.Grid(GridId::Hex8)->item(row, column)->text();
  }
  void Click(const char* button) { form_.findChild<QToolButton*>(button)->click(); }

  RecordingProgress progress_;
  TMainEdit form_;
};

TEST_F(DumpEditRoadTest, FillBlockSearchAndSearchNextFromTheButtons) {
  Click("SearchNextSpeed");  // no pattern yet
  EXPECT_EQ(BoxTexts(), Strings{"NOT FOUND DATA ! / SEARCH"});

  InstallToolDialog(ToolCommand::Fill, [](TMainEdit& form) {
    return std::make_unique<Answered<TFillDataDialog>>(
        [](TFillDataDialog& d) {
          Type(d.EAddEdit8, "00001F");
          d.FillDataGroup->Button(3)->click();
          d.FillBtn->click();
        },
        form.Profile());
  });
  Click("FillDataSeep");
  EXPECT_EQ(Hex8(15, 0), "0F");
  EXPECT_EQ(Hex8(0, 1), "10");
  EXPECT_EQ(Hex8(0, 2), "FF");
  EXPECT_EQ(progress_.closes, 1);
  EXPECT_EQ(form_.Modified(), 0);

  InstallToolDialog(ToolCommand::Block, [](TMainEdit& form) {
    auto dialog = std::make_unique<Answered<TBlockDialog>>(
        [](TBlockDialog& d) {
          Type(d.EndAddEdit, "00000F");
          Type(d.DistSAdd8, "0FFFF0");
          d.ActionGroup->Button(1)->click();
          d.GetSumBtn->click();
        },
        form.Profile());
    dialog->AttachEditor(&form);
    return dialog;
  });
  Click("SpeedButton5");
  EXPECT_EQ(Hex8(0, 0), "00");
  EXPECT_EQ(Hex8(15, 1), "1F");

  // Search from the 16-bit page for 0E 0F: the moved copy near the end, on a full screen.
  InstallToolDialog(ToolCommand::Search, [](TMainEdit& form) {
    auto dialog = std::make_unique<Answered<TSearchDialog>>([](TSearchDialog& d) {
      EXPECT_EQ(d.NowCurLabel->text(), "000000");
      EXPECT_EQ(d.BufSizeLabel->text(), "080000");
      d.BinSG->setFocus(Qt::MouseFocusReason);
      QTest::keyClicks(d.BinSG, "0E0F");
      d.SearchBtn->click();
    });
    dialog->AttachEditor(&form);
    return dialog;
  });
  form_.MainEditPage()->setCurrentIndex(1);
  Click("SpeedButton6");
  EXPECT_EQ(form_.Fields().SearchPattern, "0E0F");
  EXPECT_EQ(form_.CursorAddress8(), 0xFFFFE);
  EXPECT_EQ(form_.CursorAddress16(), 0xFFFFE);
  EXPECT_EQ(form_.Grid(GridId::Hex8)->currentRow(), 15);
  EXPECT_EQ(form_.Grid(GridId::Hex8)->currentColumn(), 14);
  Click("SpeedButton7");  // nothing further on
  EXPECT_EQ(boxes_.boxes().size(), 2u);
  EXPECT_EQ(form_.CursorAddress16(), 0xFFFFE);
  EXPECT_EQ(form_.Modified(), 0);
}

TEST_F(DumpEditRoadTest, ResizingResizesTheBufferAndRunsNoAction) {
  TIniFile(SettingsPath()).WriteString(kBlockSection, "OK", "1");
  InstallToolDialog(ToolCommand::Block, [](TMainEdit& form) {
    auto dialog = std::make_unique<Answered<TBlockDialog>>(
        [](TBlockDialog& d) {
          d.BufferSizeTrackBar->setValue(2);
          d.ResizeBtn->click();
          EXPECT_EQ(d.BufferSizeLabel->text(), "040000");
        },
        form.Profile());
    dialog->AttachEditor(&form);
    return dialog;
  });
  int actions = 0;
  InstallToolAction(ToolCommand::Block, [&actions](TMainEdit&) { ++actions; });
  Click("BlockSpeed");
  std::int32_t size = 0;
  form_.QueryBufferSize(size);
  EXPECT_EQ(size, 0x40000);
  EXPECT_EQ(Ini().ReadInteger(kBufInfSection, "BufSize", 0), 0x40000);
  EXPECT_EQ(actions, 0);
}

}  // namespace
}  // namespace buffer
