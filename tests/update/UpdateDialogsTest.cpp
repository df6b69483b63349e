// The update tool's Fill Data and Block dialogs against the console's builds of the same
// dialogs, its Buffer Resize dialog, and the Block button of a frame's child.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "buffer/BlockDlg.h"
#include "buffer/DumpEdit.h"
#include "buffer/FillDataDlg.h"
#include "buffer/GetSumDlg.h"
#include "buffer/LoadDialog.h"
#include "buffer/RadioGroup.h"
#include "buffer/SaveDlg.h"
#include "buffer/core/BlockOps.h"
#include "buffer/core/DataBuffer.h"
#include "buffer/core/DialogSettings.h"
#include "buffer/core/FillData.h"
#include "buffer/core/SettingsPath.h"
#include "console/PortSetupUnit.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "programmer/SystemImage.h"
#include "tests/support/FakePorts.h"
#include "tests/support/TempDir.h"
#include "update/Main.h"
#include "update/ResizeBufDlg.h"
#include "update/core/UpdateImage.h"

namespace {

using buffer::EditProfile;
using Strings = std::vector<std::string>;

std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }
std::string Text(const QLabel* label) { return label->text().toStdString(); }
std::string Text(const QAbstractButton* button) { return button->text().toStdString(); }

void Type(QLineEdit* edit, const char* text) {
  edit->setFocus(Qt::MouseFocusReason);
  edit->clear();
  QTest::keyClicks(edit, text);
}

class UpdateDialogs : public ::testing::Test {
 protected:
  UpdateDialogs() : previous_(buffer::SettingsPath()) {
    buffer::SetSettingsPath(dir_.File("Zorv_R77Update.ini"));
    buffer::WriteBufferInfo({.BufSize = 0x30000, .FileSize = 0x20000, .FileStartAdd = 0, .BufHandle = 5});
  }
  ~UpdateDialogs() override {
    buffer::SetSettingsPath(previous_);
    buffer::SetLoadedFileReporter(nullptr);
    buffer::SetAllocationGate(nullptr);
  }
  void Seed(const char* section, const std::vector<std::pair<const char*, int>>& keys) const {
    TIniFile ini(buffer::SettingsPath());
    for (const auto& [key, value] : keys) ini.WriteInteger(section, key, value);
  }
  TIniFile Ini() const { return TIniFile(buffer::SettingsPath()); }
  static void Open(QDialog& dialog) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
  }
  Strings BoxTexts() const {
    Strings texts;
    for (const auto& box : boxes_.boxes()) texts.push_back(box.text + " / " + box.caption);
    return texts;
  }

  TempDir dir_;
  std::string previous_;
  winapi::ScriptedMessageBoxes boxes_;
};

// How the two builds of the dialogs differ, on the same settings file: [FillDataDlg] and
// [BlockDlg] keep 000010..000021 from the last command, the buffer is 0x30000 bytes.
struct DialogBuild {
  const char* name;
  const EditProfile& profile;
  Strings openingRange;  // the Fill dialog's four edits, then the Block dialog's source
  Strings fillHints;     // Max, File
  bool icButtonShown;
  bool backspaceErases;
  std::string fileNameAfterFill;
  Strings actions;
  std::string destinationTitle;
  bool maskAndTrackBar;
  Strings resizePanel;  // the button, then the panel's fixed labels, sorted
  bool writesMask;
};

class DialogBuilds : public UpdateDialogs, public ::testing::WithParamInterface<DialogBuild> {};

TEST_P(DialogBuilds, OpenShowAndWriteAsTheirProfileSays) {
  const DialogBuild& build = GetParam();
  Seed(buffer::kFillDataSection, {{"StartAdd", 0x10}, {"EndAdd", 0x21}, {"Select", 1}});
  Seed(buffer::kBlockSection, {{"StartAdd", 0x10}, {"EndAdd", 0x21}, {"DistSAdd", 0x40}, {"Action", 2}});
  std::string fileName = "IMAGE.BIN";
  buffer::SetLoadedFileReporter([&fileName](const std::string& name) { fileName = name; });

  buffer::TFillDataDialog fill(build.profile);
  Open(fill);
  Strings range{Text(fill.SAddEdit8), Text(fill.EAddEdit8), Text(fill.SAddEdit16), Text(fill.EAddEdit16)};
  EXPECT_EQ((Strings{fill.MaxRangeBtn->toolTip().toStdString(), fill.FileRangeBtn->toolTip().toStdString()}),
            build.fillHints);
  EXPECT_EQ(fill.FillICSizeBB->width() > 0 && fill.FillICSizeBB->focusPolicy() != Qt::NoFocus, build.icButtonShown);
  fill.EAddEdit8->setFocus(Qt::MouseFocusReason);
  fill.EAddEdit8->end(false);
  const std::string before = Text(fill.EAddEdit8);
  QTest::keyClick(fill.EAddEdit8, Qt::Key_Backspace);
  EXPECT_EQ(Text(fill.EAddEdit8) != before, build.backspaceErases);
  fill.EAddEdit8->setText(QString::fromStdString(before));
  fill.FillBtn->click();
  EXPECT_TRUE(boxes_.boxes().empty());
  EXPECT_EQ(buffer::ReadDialogOk(buffer::kFillDataSection), 1);
  EXPECT_EQ(fileName, build.fileNameAfterFill);

  buffer::TBlockDialog block(build.profile);
  Open(block);
  range.push_back(Text(block.StardAddEdit));
  range.push_back(Text(block.EndAddEdit));
  EXPECT_EQ(range, build.openingRange);
  EXPECT_EQ(block.ActionGroup->ItemIndex(), 2);
  Strings actions;
  for (int i = 0; i < 3; ++i) actions.push_back(Text(block.ActionGroup->Button(i)));
  EXPECT_EQ(actions, build.actions);
  EXPECT_EQ(qobject_cast<QGroupBox*>(block.DistSAdd8->parentWidget())->title().toStdString(),
            build.destinationTitle);
  EXPECT_EQ(block.MaskDataEdit != nullptr, build.maskAndTrackBar);
  EXPECT_EQ(block.findChild<QSlider*>() != nullptr, build.maskAndTrackBar);
  EXPECT_EQ(block.findChild<QLabel*>("NewBufferSizeLabel") != nullptr, build.maskAndTrackBar);
  EXPECT_EQ(Text(block.BufferSizeLabel), "030000");
  Strings panel;
  for (const QLabel* label : block.ResizeBtn->parentWidget()->findChildren<QLabel*>())
    if (label->objectName().isEmpty()) panel.push_back(Text(label));
  std::sort(panel.begin(), panel.end());
  panel.insert(panel.begin(), Text(block.ResizeBtn) + " / " + block.ResizeBtn->toolTip().toStdString());
  EXPECT_EQ(panel, build.resizePanel);

  Type(block.StardAddEdit, "000010");
  Type(block.EndAddEdit, "000021");
  block.GetSumBtn->click();
  EXPECT_TRUE(boxes_.boxes().empty());
  EXPECT_EQ(buffer::ReadDialogOk(buffer::kBlockSection), 1);
  EXPECT_EQ(Ini().ReadInteger(buffer::kBlockSection, "Action", 9), 2);
  EXPECT_EQ(Ini().ReadInteger(buffer::kBlockSection, "DistSAdd", 0), 0x40);
  EXPECT_EQ(Ini().ReadString(buffer::kBlockSection, "MaskData", "none") != "none", build.writesMask);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, DialogBuilds,
    ::testing::Values(
        DialogBuild{"Console", buffer::ConsoleProfile(),
                    {"000000", "02FFFF", "000000", "017FFF", "000000", "02FFFF"},
                    {"Fill Max Range.", "Fill File Range."}, false, true, "", {"Copy", "Move", "Mask"},
                    "Destination :", true,
                    {"Resizing / Resize of Buffer.", "( Bytes )", "New Buffer Size : 0x", "Now Buffer Size : 0x",
                     "[ Bytes ]"},
                    true},
        DialogBuild{"UpdateTool", buffer::UpdateToolProfile(),
                    {"000010", "000021", "000008", "000010", "000010", "000021"}, {"", ""}, true, false,
                    "IMAGE.BIN", {"Copy", "Move", "Swap"}, "Disnataion :", false,
                    {"Resize / Resize of Buffer.", "(Bytes)", "Buffer Size :"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

// What the Buffer Resize dialog does with a typed size.
struct ResizeCase {
  const char* typed;
  std::string shown;        // the edit after typing
  std::int32_t size;        // the buffer afterwards
  bool refused;             // "Input Value Error !" and the dialog stays open
  bool memoryFails = false;
};

class ResizeSizes : public UpdateDialogs, public ::testing::WithParamInterface<ResizeCase> {};

TEST_P(ResizeSizes, TakeTenThousandToFFFFFFAndNothingElse) {
  const ResizeCase& c = GetParam();
  buffer::TMainEdit edit(buffer::UpdateToolProfile());
  ASSERT_TRUE(edit.ResizeBuffer(0x30000));
  edit.WriteBufferInfo();
  update::TResizeBufDialog dialog;
  dialog.AttachEditor(&edit);
  EXPECT_EQ(buffer::ReadDialogOk(update::kResizeSection), 0);
  Open(dialog);
  EXPECT_EQ(dialog.windowTitle(), "Buffer Resize.");
  EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(Text(dialog.Label3), "[ 10000H <--->FFFFFF]");
  EXPECT_EQ(Text(dialog.OKBtn) + " / " + dialog.OKBtn->toolTip().toStdString(), "Resize / Buffer Resize .");
  EXPECT_EQ(Text(dialog.ExitBtn), "Exit");
  EXPECT_EQ(Text(dialog.BufSizeEdit), "030000");

  Type(dialog.BufSizeEdit, c.typed);
  QTest::keyClick(dialog.BufSizeEdit, Qt::Key_Backspace);  // dropped by the update tool's filter
  EXPECT_EQ(Text(dialog.BufSizeEdit), c.shown);
  if (c.memoryFails) buffer::SetAllocationGate([](std::size_t) { return false; });
  dialog.OKBtn->click();
  buffer::SetAllocationGate(nullptr);

  std::int32_t size = 0;
  edit.QueryBufferSize(size);
  EXPECT_EQ(size, c.size);
  EXPECT_EQ(buffer::ReadBufferInfo().BufSize, c.size);
  if (c.refused) {
    EXPECT_EQ(BoxTexts(), Strings{"Input Value Error ! / ERROR"});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(buffer::ReadDialogOk(update::kResizeSection), 0);
    dialog.ExitBtn->click();
    EXPECT_EQ(Ini().ReadString(update::kResizeSection, "OK", ""), "0");
  } else {
    EXPECT_EQ(BoxTexts(), c.memoryFails ? Strings{"Memory error ! / Buffer Resize."} : Strings{});
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(buffer::ReadDialogOk(update::kResizeSection), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, ResizeSizes,
                         ::testing::Values(ResizeCase{"", "", 0x30000, true},
                                           ResizeCase{"FFFF", "FFFF", 0x30000, true},
                                           ResizeCase{"10000", "10000", 0x10000, false},
                                           ResizeCase{"ffffff", "FFFFFF", 0xFFFFFF, false},
                                           // A seventh digit is cut: nothing typed reaches 0x1000000.
                                           ResizeCase{"1000000", "100000", 0x100000, false},
                                           ResizeCase{"4g-0 000", "40000", 0x40000, false},
                                           ResizeCase{"080000", "080000", 0x30000, false, true}));

// An accepted image stays accepted while the buffer still holds all of it; a resize that cuts
// it withdraws the acceptance, and growing the buffer again does not bring it back.
TEST_F(UpdateDialogs, AResizeThatCutsTheImageWithdrawsItsAcceptance) {
  buffer::TMainEdit edit(buffer::UpdateToolProfile());
  ASSERT_TRUE(edit.ResizeBuffer(0x30000));
  const std::vector<std::uint8_t> image = programmer::MakeSystemImage("ZORV-R77 V4.00", 1);
  {
    buffer::BufferLock lock(edit.Buffer());
    std::copy(image.begin(), image.end(), lock.data());
  }
  edit.SetFileSize(update::kUpdateImageSize);
  for (std::uint8_t b : image) edit.Fields().LastSum += b;
  update::FileLabels labels;
  ASSERT_TRUE(update::CheckUpdateImage(edit.Core(), nullptr, labels));
  for (const auto& [typed, holds] : {std::pair{"20000", true}, {"1FFFF", false}, {"30000", false}}) {
    edit.WriteBufferInfo();
    update::TResizeBufDialog dialog;
    dialog.AttachEditor(&edit);
    dialog.BufSizeEdit->setText(typed);
    dialog.OKBtn->click();
    EXPECT_EQ(update::HoldsAcceptedImage(edit.Core()), holds) << typed;
    EXPECT_EQ(update::FieldText(edit.Fields().FileModel).empty(), !holds) << typed;
  }
}

// The Block dialog's Resize opens the resize dialog and stays open on the new size, its
// source, destination and action as they were.
TEST_F(UpdateDialogs, BlockDialogResizeShowsTheNewSizeAndStaysOpen) {
  Seed(buffer::kBlockSection, {{"StartAdd", 0x10}, {"EndAdd", 0x21}, {"DistSAdd", 0x40}, {"Action", 1}});
  buffer::TMainEdit edit(buffer::UpdateToolProfile());
  ASSERT_TRUE(edit.ResizeBuffer(0x30000));
  edit.WriteBufferInfo();
  buffer::TBlockDialog block(buffer::UpdateToolProfile());
  block.AttachEditor(&edit);
  std::vector<std::string> answers{"EXIT", "050000"};
  block.SetResizeDialog([&answers](buffer::TMainEdit& editor) {
    update::TResizeBufDialog dialog;
    dialog.AttachEditor(&editor);
    const std::string answer = answers.front();
    answers.erase(answers.begin());
    if (answer == "EXIT") {
      dialog.ExitBtn->click();
    } else {
      dialog.BufSizeEdit->setText(QString::fromStdString(answer));
      dialog.OKBtn->click();
    }
    return buffer::ReadDialogOk(update::kResizeSection) != 0;
  });
  Open(block);
  block.ResizeBtn->click();
  EXPECT_EQ(Text(block.BufferSizeLabel), "030000");
  block.ResizeBtn->click();
  EXPECT_TRUE(block.isVisible());
  EXPECT_EQ(Text(block.BufferSizeLabel), "050000");
  EXPECT_EQ(block.Info().BufSize, 0x50000);
  EXPECT_EQ(edit.MaxRow(), 0x5000 - 13);
  EXPECT_EQ((Strings{Text(block.StardAddEdit), Text(block.EndAddEdit), Text(block.DistSAdd8)}),
            (Strings{"000010", "000021", "000040"}));
  EXPECT_EQ(block.ActionGroup->ItemIndex(), 1);
}

// The frame's child: its Block button opens the update tool's Block dialog, and a swap it
// confirms exchanges the two ranges.
TEST(UpdateFrameTools, TheChildsBlockButtonSwaps) {
  TempDir dir;
  const std::filesystem::path previous = std::filesystem::current_path();
  const std::string settings = buffer::SettingsPath();
  std::filesystem::current_path(dir.path());
  winapi::ScriptedMessageBoxes boxes;
  FakePorts::Install(true, {0x378});
  {
    update::TMainForm form;
    form.show();
    QCoreApplication::sendPostedEvents();
    buffer::TMainEdit* child = form.ActiveDumpEdit();
    ASSERT_NE(child, nullptr);
    {
      buffer::BufferLock lock(child->Buffer());
      for (int i = 0; i < 6; ++i) lock[i] = static_cast<std::uint8_t>(i);
    }
    std::string shownActions;
    // The dialog's own modal loop runs this first.
    QTimer::singleShot(0, [&shownActions] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* block = qobject_cast<buffer::TBlockDialog*>(modal)) {
        QApplication::setActiveWindow(block);
        shownActions = Text(block->ActionGroup->Button(2));
        Type(block->StardAddEdit, "000000");
        Type(block->EndAddEdit, "000003");
        Type(block->DistSAdd8, "000002");
        block->ActionGroup->Button(2)->click();
        block->GetSumBtn->click();
      }
      // Whatever went wrong, the test does not hang in the dialog.
      if (modal && modal->isVisible()) modal->close();
    });
    child->findChild<QToolButton*>("BlockSpeed")->click();
    EXPECT_EQ(shownActions, "Swap");
    buffer::BufferLock lock(child->Buffer());
    EXPECT_EQ(std::vector<std::uint8_t>(lock.data(), lock.data() + 6),
              (std::vector<std::uint8_t>{2, 3, 4, 5, 0, 1}));
    EXPECT_EQ(dir.Read("Zorv_R77Update.ini").find("MaskData"), std::string::npos);
  }
  FakePorts::Remove();
  buffer::SetSettingsPath(settings);
  std::filesystem::current_path(previous);
}

// The edit a dialog of either program opens in, or that the program moves to, has its text
// selected: what is typed at once replaces it. A click only places the caret; a return from a
// box leaves the selection as it was.
enum class Arrival { Opening, FromCode, Click, ReturnFromBox };
struct EditFocus {
  const char* name;
  std::function<QDialog*()> make;
  const char* edit;
  Arrival arrival;
  const char *typed, *landed, *selected;  // none: the whole text
};

class EditFocusTable : public UpdateDialogs, public ::testing::WithParamInterface<EditFocus> {};

TEST_P(EditFocusTable, WhatIsTypedAtOnceReplacesTheSelectedText) {
  const EditFocus& row = GetParam();
  std::unique_ptr<QDialog> dialog(row.make());
  auto* edit = dialog->findChild<QWidget*>(row.edit);
  auto* combo = qobject_cast<QComboBox*>(edit);
  QLineEdit* line = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(edit);
  Open(*dialog);
  const QString text = line->text();
  QWidget box;  // a box or another window over the dialog
  if (row.arrival == Arrival::FromCode) edit->setFocus();
  if (row.arrival == Arrival::Click) QTest::mouseClick(line, Qt::LeftButton, {}, {2, line->height() / 2});
  if (row.arrival == Arrival::ReturnFromBox) {
    line->setSelection(1, 2);
    box.show();
    QApplication::setActiveWindow(&box);
    QApplication::setActiveWindow(dialog.get());
  }
  ASSERT_EQ(QApplication::focusWidget(), edit);
  EXPECT_EQ(line->selectedText(), row.selected ? row.selected : text);
  QTest::keyClicks(edit, row.typed);
  EXPECT_EQ(line->text().toStdString(), row.landed);
}

using namespace buffer;
EditFocus Opens(const char* name, std::function<QDialog*()> make, const char* edit, const char* typed = "1234") {
  return {name, std::move(make), edit, Arrival::Opening, typed, typed, nullptr};
}
uint32_t port = 0x378;
INSTANTIATE_TEST_SUITE_P(
    BothPrograms, EditFocusTable,
    ::testing::Values(
        Opens("Fill", [] { return new TFillDataDialog; }, "SAddEdit8"),
        Opens("Block", [] { return new TBlockDialog; }, "StardAddEdit"),
        Opens("GetSum", [] { return new TGetSumDialog; }, "StardAddEdit"),
        Opens("Load", [] { return new TLoadDlg; }, "NameEdit", "x.bin"),
        Opens("Save", [] { return new TLoadSaveDlg; }, "NameEdit", "x.bin"),
        Opens("PortSetup", [] { return new TPortSetupForm(port, {}, SettingsPath()); }, "PortEdit", "278"),
        Opens("UpdateFill", [] { return new TFillDataDialog(UpdateToolProfile()); }, "SAddEdit8"),
        Opens("UpdateBlock", [] { return new TBlockDialog(UpdateToolProfile()); }, "StardAddEdit"),
        Opens("UpdateSum", [] { return new TGetSumDialog(UpdateToolProfile()); }, "StardAddEdit"),
        Opens("UpdateResize", [] { return new update::TResizeBufDialog; }, "BufSizeEdit"),
        Opens("UpdateLoad", [] { return new TLoadDlg(UpdateToolLoadDialog()); }, "NameEdit", "x.bin"),
        EditFocus{"FromCode", [] { return new TFillDataDialog; }, "EAddEdit8", Arrival::FromCode, "1234", "1234",
                  nullptr},
        EditFocus{"Click", [] { return new TFillDataDialog; }, "EAddEdit8", Arrival::Click, "1234", "123402", ""},
        EditFocus{"ReturnFromABox", [] { return new TFillDataDialog; }, "SAddEdit8", Arrival::ReturnFromBox, "1234",
                  "012340", "00"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
