// The update tool's child along its tool buttons, the real dialogs answered once they are on
// screen: Load through the update tool's Load File dialog (only the name can be chosen), the
// image accepted with its labels; Sum with its box of the sum alone; Save of the loaded range.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <functional>

#include "buffer/BlockDlg.h"
#include "buffer/DumpEdit.h"
#include "buffer/GetSumDlg.h"
#include "buffer/LoadDialog.h"
#include "buffer/RadioGroup.h"
#include "buffer/SaveDlg.h"
#include "buffer/SearchDlg.h"
#include "buffer/core/HexText.h"
#include "buffer/core/LoadFormat.h"
#include "buffer/core/SettingsPath.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/Paths.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "programmer/SystemImage.h"
#include "tests/support/FakePorts.h"
#include "tests/support/TempDir.h"
#include "update/Main.h"
#include "update/ResizeBufDlg.h"

namespace {

using Bytes = std::vector<uint8_t>;

class UpdateToolButtons : public ::testing::Test {
 protected:
  UpdateToolButtons()
      : previous_(std::filesystem::current_path()), settings_(buffer::SettingsPath()) {
    std::filesystem::current_path(dir.path());
    winapi::SetProgramPath(dir.File("bin/QZ_UPDate"));
    dir.Write("bin/.keep", "");
    FakePorts::Install(true, {0x378});
    form = std::make_unique<update::TMainForm>();
    form->show();
    QCoreApplication::sendPostedEvents();
    edit = form->ActiveDumpEdit();
  }
  ~UpdateToolButtons() override {
    form.reset();
    FakePorts::Remove();
    winapi::SetProgramPath("");
    buffer::SetSettingsPath(settings_);
    std::filesystem::current_path(previous_);
  }

  // Runs `use` on the modal dialog of type T once it is shown, then presses the button.
  template <class T>
  void Press(const char* button, std::function<void(T&)> use) {
    QTimer::singleShot(0, [use] {
      auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      use(*dialog);
      // A dialog that refused the answer must not hold the test.
      if (dialog->isVisible()) dialog->reject();
    });
    edit->findChild<QToolButton*>(button)->click();
  }
  std::string LoadKey(const char* key) {
    return TIniFile(buffer::SettingsPath()).ReadString("LoadDlg", key, "-");
  }

  TempDir dir;
  winapi::ScriptedMessageBoxes boxes;
  std::unique_ptr<update::TMainForm> form;
  buffer::TMainEdit* edit = nullptr;

 private:
  std::filesystem::path previous_;
  std::string settings_;
};

TEST_F(UpdateToolButtons, LoadSumAndSaveAnImageThroughTheUpdateToolsOwnDialogs) {
  const Bytes image = programmer::MakeSystemImage("ZORV-R77 V4.00", 3);
  dir.Write("image.upd", std::string(image.begin(), image.end()));
  dir.Write("image.upd ", "not the image");  // a blank typed after the name does not name it
  TIniFile(buffer::SettingsPath()).WriteInteger("LoadDlg", "UserFill", 0x3C);
  buffer::SetLastLoadFormat(buffer::kFormatIntelHex);

  Press<buffer::TLoadDlg>("LoadFileB", [&](buffer::TLoadDlg& dialog) {
    EXPECT_EQ(dialog.FormatGroup->Count(), 8);
    EXPECT_EQ(dialog.FormatGroup->Button(6)->text(), "Tektlonix HEX");
    EXPECT_EQ(dialog.FormatGroup->Button(7)->text(), "POF");
    EXPECT_EQ(dialog.FormatGroup->ItemIndex(), buffer::kFormatBinary);
    EXPECT_FALSE(dialog.FormatGroup->isEnabled());
    auto* source = dialog.findChild<QGroupBox*>("Panel1");
    auto* destination = dialog.findChild<QGroupBox*>("Panel2");
    EXPECT_EQ(source->title(), "Source Select :");
    EXPECT_EQ(destination->title(), "Distination Select :");
    EXPECT_EQ(destination->toolTip(), "Distination Select.");
    EXPECT_FALSE(source->isEnabled());
    EXPECT_FALSE(destination->isEnabled());
    EXPECT_EQ(dialog.UnuserFillCheck->text(), "Clear Buffer :");
    EXPECT_TRUE(dialog.UnuserFillCheck->isChecked());
    EXPECT_EQ(dialog.UserFill->text(), "3C");
    EXPECT_EQ(dialog.EvenOddRadioGroup, nullptr);
    dialog.NameEdit->SetText(dir.File("image.upd") + " ");
    EXPECT_EQ(dialog.SourceEAdd->text(), "01FFFF");
    QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
    EXPECT_EQ(dialog.NameEdit->itemText(0).toStdString(), dir.File("image.upd"));
  });
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(LoadKey("Format"), "3");
  EXPECT_EQ(LoadKey("EvenOdd"), "-");
  EXPECT_EQ(buffer::LastLoadFormat(), buffer::kFormatIntelHex)
      << "the update tool keeps no last format";
  EXPECT_EQ(form->FileModelLabel->text(), "File Model : ZORV-R77 V4.00");
  EXPECT_EQ(edit->Fields().FileSize, 0x20000);
  // The whole buffer was cleared to the fill byte before the image went in.
  {
    buffer::BufferLock lock(edit->Buffer());
    EXPECT_TRUE(std::equal(image.begin(), image.end(), lock.data()));
    EXPECT_EQ(lock[0x2FFFF], 0x3C);
  }

  Press<buffer::TGetSumDialog>("GetSumSpeed", [](buffer::TGetSumDialog& dialog) {
    dialog.FillFileRange->click();
    dialog.GetSumBtn->click();
  });
  std::uint32_t sum = 0;
  for (std::uint8_t b : image) sum += b;
  char text[16];
  std::snprintf(text, sizeof text, "%08X", sum);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, text);
  EXPECT_EQ(boxes.boxes()[0].caption, "Get Check Sum");
  EXPECT_EQ(boxes.boxes()[0].flags, unsigned(winapi::MB_OK));

  boxes.Clear();
  const std::string saved = dir.File("saved.bin");
  Press<buffer::TLoadSaveDlg>("SaveFileB", [&](buffer::TLoadSaveDlg& dialog) {
    dialog.NameEdit->SetText(saved);
    dialog.FormatGroup->SetItemIndex(6);  // "GAL File": the update tool saves it as binary
    dialog.FillFileBtn->click();
    // The update tool's hex keys drop backspace.
    dialog.SourceSAdd->setFocus();
    dialog.SourceSAdd->end(false);
    QTest::keyClick(dialog.SourceSAdd, Qt::Key_Backspace);
    EXPECT_EQ(dialog.SourceSAdd->text(), "000000");
    QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
  });
  EXPECT_TRUE(boxes.boxes().empty());
  const std::string back = dir.Read("saved.bin");
  EXPECT_EQ(Bytes(back.begin(), back.end()), image);
}

// Zorv_R77Update.ini that cannot be written: Load of another file loads nothing, and a
// resize whose dialog cannot mark itself opened leaves the buffer as it is; each says so once.
TEST_F(UpdateToolButtons, AnUnwritableSettingsFileLoadsAndResizesNothing) {
  const Bytes image = programmer::MakeSystemImage("ZORV-R77 V4.00", 3);
  dir.Write("other.upd", std::string(image.begin(), image.end()));
  TIniFile ini(buffer::SettingsPath());
  ini.WriteString("LoadDlg", "Name", dir.File("other.upd"));
  ini.WriteString("LoadDlg", "OK", "1");
  const std::string settings = dir.Read("Zorv_R77Update.ini");
  const std::string expected = "Cannot write the settings file " + winapi::NativePath(buffer::SettingsPath()) +
                               ": No space left on device";
  SetIniWriteFault([](const std::string& path) {
    return path.ends_with("Zorv_R77Update.ini") ? ENOSPC : 0;
  });
  QTimer::singleShot(0, [] {  // should the dialog open, the user presses Load
    if (QWidget* dialog = QApplication::activeModalWidget())
      QTest::mouseClick(dialog->findChild<QPushButton*>("BitBtn2"), Qt::LeftButton);
  });
  edit->findChild<QToolButton*>("LoadFileB")->click();
  QCoreApplication::sendPostedEvents();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, expected);
  EXPECT_EQ(edit->Fields().FileSize, 0);
  EXPECT_EQ(dir.Read("Zorv_R77Update.ini"), settings);

  SetIniWriteFault(nullptr);
  // The resize to 050000, its settings writes failing from the first (the resize dialog's
  // opening), the second (its confirmation) or the third ([BufInf], the buffer resized): the
  // box comes as the resize dialog closes, and the Block dialog shows the buffer's size.
  const std::pair<int, std::int32_t> runs[] = {{0, 0x30000}, {1, 0x30000}, {2, 0x50000}};
  for (const auto& [failFrom, size] : runs) {
    boxes.Clear();
    size_t shownBeforeExit = 0;
    Press<buffer::TBlockDialog>("BlockSpeed", [&, failFrom](buffer::TBlockDialog& dialog) {
      QTimer::singleShot(0, [] {
        if (auto* resize = qobject_cast<update::TResizeBufDialog*>(QApplication::activeModalWidget())) {
          resize->BufSizeEdit->setText("050000");
          resize->OKBtn->click();
        }
      });
      SetIniWriteFault([writes = 0, failFrom](const std::string&) mutable {
        return writes++ >= failFrom ? ENOSPC : 0;
      });
      dialog.ResizeBtn->click();
      SetIniWriteFault(nullptr);
      shownBeforeExit = boxes.boxes().size();
      EXPECT_EQ(dialog.BufferSizeLabel->text().toStdString(), buffer::FormatHex6(edit->Buffer().BufSize()));
      dialog.ExitBtn->click();
    });
    EXPECT_EQ(edit->Buffer().BufSize(), size) << failFrom;
    EXPECT_EQ(shownBeforeExit, 1u) << failFrom;
    ASSERT_EQ(boxes.boxes().size(), 1u) << failFrom;
    EXPECT_EQ(boxes.boxes()[0].text, expected);
  }
}

// Search, Search Next (both ways) and the three swaps are the console's: the match is the
// cursor of the nine-row view, the swaps exchange bytes from address 0 over the whole buffer.
TEST_F(UpdateToolButtons, SearchNextAndTheSwapsWorkOnTheChild) {
  {
    buffer::BufferLock lock(edit->Buffer());
    for (int i = 0; i < 8; ++i) lock[i] = static_cast<uint8_t>(i);
    std::copy_n("\xAB\xCD", 2, lock.data() + 0x125);
    std::copy_n("\xAB\xCD", 2, lock.data() + 0x1000);
    std::copy_n("\xAB\xCD", 2, lock.data() + 0x2FFF8);  // in the last row, past MaxRow
  }
  Press<buffer::TSearchDialog>("SearchSpeed", [](buffer::TSearchDialog& dialog) {
    dialog.BinSG->setFocus();
    QTest::keyClicks(dialog.BinSG, "a");
    QTest::keyClick(dialog.BinSG, Qt::Key_Backspace);  // dropped by the update tool's filter
    QTest::keyClicks(dialog.BinSG, "bcd");
    EXPECT_EQ(dialog.Cells().Cell(buffer::SearchGrid::Binary, 0), "AB");
    dialog.SearchBtn->click();
  });
  const buffer::DumpGrid* hex = edit->Grid(buffer::GridId::Hex8);
  EXPECT_EQ(edit->CursorAddress8(), 0x125);
  EXPECT_EQ(std::pair(hex->currentRow(), hex->currentColumn()), std::pair(0, 5));
  auto next = [&] { edit->findChild<QToolButton*>("SearchNextSpeed")->click(); };
  next();
  EXPECT_EQ(edit->CursorAddress8(), 0x1000);
  next();
  EXPECT_EQ(edit->CursorAddress8(), 0x2FFF8);
  EXPECT_EQ(std::pair(hex->currentRow(), hex->currentColumn()), std::pair(8, 8));
  next();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text + " / " + boxes.boxes()[0].caption, "NOT FOUND DATA ! / SEARCH");
  EXPECT_EQ(edit->CursorAddress8(), 0x2FFF8);
  // Search Next goes the way the last Search went.
  Press<buffer::TSearchDialog>("SearchSpeed", [](buffer::TSearchDialog& dialog) {
    dialog.RadioGroup1->Button(1)->click();
    dialog.SearchBtn->click();
  });
  EXPECT_EQ(edit->CursorAddress8(), 0x1000);
  next();
  EXPECT_EQ(edit->CursorAddress8(), 0x125);

  const std::pair<const char*, Bytes> swaps[] = {{"ByteSwapBitBtn", {1, 0, 3, 2, 5, 4, 7, 6}},
                                                 {"WordSwapBitBtn", {3, 2, 1, 0, 7, 6, 5, 4}},
                                                 {"DWordSwapBitBt", {7, 6, 5, 4, 3, 2, 1, 0}}};
  for (const auto& [button, first] : swaps) {
    edit->findChild<QPushButton*>(button)->click();
    buffer::BufferLock lock(edit->Buffer());
    EXPECT_EQ(Bytes(lock.data(), lock.data() + 8), first) << button;
  }
  // The view was redrawn: the first match's AB CD went through all three swaps, to 0x121.
  EXPECT_EQ(hex->item(0, 1)->text() + hex->item(0, 2)->text(), "CDAB");
}

TEST(UpdateLoadDialog, BrowsesForUpdateFilesOfEitherCase) {
  auto browse = buffer::TLoadDlg::BrowseFile(nullptr, buffer::UpdateToolLoadDialog());
  EXPECT_EQ(browse->nameFilters(), QStringList{"7100 UPD (*.UPD)"});
  EXPECT_FALSE(browse->filter().testFlag(QDir::CaseSensitive));
  EXPECT_EQ(browse->fileMode(), QFileDialog::ExistingFile);
}

}  // namespace
