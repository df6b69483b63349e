// The Save File dialog offscreen (its opening state, the range buttons, the Save checks in
// their order and the keys it writes), and the Dump Edit's Save button end to end: every
// format written through the installed tools and read back byte for byte by srec_cat.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>
#include <filesystem>
#include <sstream>
#include <vector>

#include "buffer/BufferTools.h"
#include "buffer/DumpEdit.h"
#include "buffer/Hstcbo.h"
#include "buffer/RadioGroup.h"
#include "buffer/SaveDlg.h"
#include "buffer/core/DialogSettings.h"
#include "buffer/core/HexText.h"
#include "buffer/core/Progress.h"
#include "buffer/core/SettingsPath.h"
#include "buffer/formats/TextBlockWriter.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/Paths.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/formats/FormatTestSupport.h"
#include "tests/support/TempDir.h"

namespace buffer {
namespace {

using Boxes = std::vector<std::pair<std::string, std::string>>;  // text, caption

class SaveDialogTest : public ::testing::Test {
 protected:
  SaveDialogTest() : previous_(SettingsPath()) {
    SetSettingsPath(dir_.File("History.ini"));
    winapi::SetProgramPath(dir_.File("QZ_HOME"));
    SetInfo(0x1020000, 0x1800, 0x1000);
  }
  ~SaveDialogTest() override {
    winapi::SetProgramPath("");
    SetSettingsPath(previous_);
  }

  static void SetInfo(int32_t bufSize, int32_t fileSize, int32_t fileStart) {
    WriteBufferInfo({.BufSize = bufSize, .FileSize = fileSize, .FileStartAdd = fileStart,
                     .BufHandle = 5});
  }
  static std::vector<QString> Range(const TLoadSaveDlg& d) {
    return {d.SourceSAdd->text(), d.SourceEAdd->text()};
  }
  Boxes Shown() const {
    Boxes shown;
    for (const auto& box : boxes_.boxes()) shown.emplace_back(box.text, box.caption);
    return shown;
  }
  // The keys of [SaveDlg] as the file holds them, in its order.
  std::vector<std::string> SaveDlgLines() const {
    std::vector<std::string> lines;
    bool inSection = false;
    std::istringstream text(dir_.Read("History.ini"));
    for (std::string line; std::getline(text, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty() && line[0] == '[') inSection = line == "[SaveDlg]";
      else if (inSection && !line.empty()) lines.push_back(line);
    }
    return lines;
  }

  TempDir dir_;
  std::string previous_;
  winapi::ScriptedMessageBoxes boxes_;
};

TEST_F(SaveDialogTest, OpensOnTheWholeBufferWithTheLastFormatAndTheLastLoadedName) {
  TIniFile ini(SettingsPath());
  ini.WriteString("LoadDlg", "Name", dir_.File("gone.hex"));
  ini.WriteInteger("SaveDlg", "Format", 3);
  ini.WriteString("SaveDlg", "Name", "not proposed");
  TLoadSaveDlg dialog;
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Save File");
  EXPECT_EQ(dialog.NameEdit->Text(), dir_.File("gone.hex"));
  EXPECT_EQ(dialog.FormatGroup->ItemIndex(), 3);
  ASSERT_EQ(dialog.FormatGroup->Count(), 7);
  EXPECT_EQ(dialog.FormatGroup->Button(2)->text(), "Motorola %S[S1]");
  EXPECT_EQ(dialog.FormatGroup->Button(6)->text(), "GAL File");
  // A buffer grown by a Motorola load ends past six digits: the edits show their largest
  // value rather than the first six digits of 101FFFF.
  EXPECT_EQ(Range(dialog), (std::vector<QString>{"000000", "FFFFFF"}));
  EXPECT_EQ(ReadDialogOk("SaveDlg"), 0);
}

TEST_F(SaveDialogTest, RangeButtonsWriteFromZeroAndClampSevenDigits) {
  struct Row {
    int32_t bufSize, fileSize, fileStart;
    bool file;
    std::vector<QString> range;
  };
  const Row rows[] = {
      {0x100000, 0x1800, 0x1000, true, {"000000", "0017FF"}},  // File starts at 0
      {0x100000, 0x1800, 0x1000, false, {"000000", "0FFFFF"}},
      {0x1020000, 0x1020000, 0, true, {"000000", "FFFFFF"}},
      {0x100000, 0, 0, true, {"000100", "000200"}},  // no file: the edits keep their texts
      {0, 0, 0, false, {"000100", "000200"}},
  };
  for (const Row& row : rows) {
    SetInfo(row.bufSize, row.fileSize, row.fileStart);
    boxes_.Clear();
    TLoadSaveDlg dialog;
    dialog.SourceSAdd->setText("000100");
    dialog.SourceEAdd->setText("000200");
    row.file ? dialog.FillFileBtn->click() : dialog.FillMaxBtn->click();
    EXPECT_EQ(Range(dialog), row.range) << std::hex << row.bufSize << " " << row.fileSize;
  }
  // Seven typed digits never stand in an edit.
  TLoadSaveDlg dialog;
  dialog.SourceEAdd->setText("1234567");
  EXPECT_EQ(dialog.SourceEAdd->text(), "123456");
}

TEST_F(SaveDialogTest, SaveChecksRunInOrderAndOnlyAPassWritesTheKeys) {
  dir_.Write("old.bin", "old");
  const std::string oldName = dir_.File("old.bin");
  const std::string newName = dir_.File("new.bin");
  const std::pair<std::string, std::string> overwrite{"File is Exist ! Are sure to save ?",
                                                      "Save File"};
  const std::pair<std::string, std::string> notBelowEnd{"Input Value Error !", "Error"};
  const std::pair<std::string, std::string> notBelowSize{"Input Value Error !", "ERROR"};
  auto tooBig = [](const char* format) {
    return std::pair<std::string, std::string>{
        std::string("File Too Big for ") + format + ",\nPlease Select other Format.", "SAVE"};
  };
  struct Row {
    std::string name;
    std::vector<int> answers;
    const char* start;
    const char* end;
    int format;
    Boxes boxes;
    bool saved;
    std::string stored = "";  // the name written, when it is not `name`
  };
  const Row rows[] = {
      {oldName, {winapi::IDCANCEL}, "000000", "000000", 0, {overwrite}, false},
      // Blanks at the ends are dropped as the settings file drops them: the file asked about
      // is the file saved.
      {" " + oldName + "\t ", {winapi::IDOK}, "000010", "00001F", 0, {overwrite}, true, oldName},
      {oldName, {winapi::IDOK}, "000010", "000010", 0, {overwrite, notBelowEnd}, false},
      {oldName, {winapi::IDOK}, "000010", "00001F", 0, {overwrite}, true},
      {newName, {}, "000020", "000010", 0, {notBelowEnd}, false},
      {newName, {}, "000000", "100000", 0, {notBelowSize}, false},  // end = BufSize
      {newName, {}, "0FFFFE", "0FFFFF", 0, {}, true},
      {newName, {}, "000000", "100000", 1, {notBelowSize}, false},  // range before size
      {newName, {}, "000000", "0FFFFF", 1, {}, true},
      {newName, {}, "000001", "010001", 2, {tooBig("Motorola %S[S1]")}, false},
      {newName, {}, "000001", "010000", 2, {}, true},
      {newName, {}, "000000", "010000", 5, {tooBig("Tektlonix Format")}, false},
      {newName, {}, "000000", "00FFFF", 5, {}, true},
      {newName, {}, "000000", "0FFFFF", 3, {}, true},
      {newName, {}, "000000", "0FFFFF", 4, {}, true},
      {newName, {}, "000000", "0FFFFF", 6, {}, true},
  };
  for (const Row& row : rows) {
    SetInfo(0x100000, 0, 0);
    boxes_.Clear();
    for (int answer : row.answers) boxes_.Answer(answer);
    TLoadSaveDlg dialog;
    // From here on the file shows what Save writes, in the order it writes it.
    std::filesystem::remove(SettingsPath());
    dialog.NameEdit->SetText(row.name);
    dialog.SourceSAdd->setText(row.start);
    dialog.SourceEAdd->setText(row.end);
    dialog.FormatGroup->SetItemIndex(row.format);
    dialog.BitBtn2->click();
    const std::string what = std::string(row.start) + ".." + row.end + " format " +
                             std::to_string(row.format);
    EXPECT_EQ(Shown(), row.boxes) << what;
    EXPECT_EQ(dialog.result() == QDialog::Accepted, row.saved) << what;
    EXPECT_EQ(ReadDialogOk("SaveDlg"), row.saved ? 1 : 0) << what;
    if (row.saved) {
      const auto value = [](const char* hex) { return std::to_string(std::stoi(hex, nullptr, 16)); };
      EXPECT_EQ(SaveDlgLines(), (std::vector<std::string>{
                                    "SourceSAdd=" + value(row.start), "SourceEAdd=" + value(row.end),
                                    "Format=" + std::to_string(row.format),
                                    "Name=" + (row.stored.empty() ? row.name : row.stored),
                                    "OK=1"}))
          << what;
    } else {
      EXPECT_FALSE(std::filesystem::exists(SettingsPath())) << what;
    }
  }
  EXPECT_EQ(dir_.Read("old.bin"), "old");  // the dialog writes no file
  // The saved names are the history of the next dialog, the last one on top.
  TLoadSaveDlg next;
  ASSERT_EQ(next.NameEdit->count(), 2);
  EXPECT_EQ(next.NameEdit->itemText(0).toStdString(), newName);
  EXPECT_EQ(next.NameEdit->itemText(1).toStdString(), oldName);
}

TEST_F(SaveDialogTest, CancelRefuses) {
  TLoadSaveDlg dialog;
  dialog.BitBtn3->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(ReadDialogOk("SaveDlg"), 0);
  EXPECT_TRUE(boxes_.boxes().empty());
}

// The real dialog, filled in and answered by its Save button once it is on screen.
class AnsweredSave : public TLoadSaveDlg {
 public:
  struct Entries {
    std::string name;
    int format;
    int32_t start;
    int32_t end;
  };
  explicit AnsweredSave(const Entries& entries) : entries_(entries) {}
  int exec() override {
    show();
    NameEdit->SetText(entries_.name);
    FormatGroup->SetItemIndex(entries_.format);
    SourceSAdd->setText(QString::fromStdString(FormatHex6(entries_.start)));
    SourceEAdd->setText(QString::fromStdString(FormatHex6(entries_.end)));
    BitBtn2->click();
    return result();
  }

 private:
  Entries entries_;
};

class DumpEditSaveTest : public SaveDialogTest {
 protected:
  DumpEditSaveTest() {
    InstallBufferTools();
    InstallToolDialog(ToolCommand::Save, [this](TMainEdit&) {
      return std::make_unique<AnsweredSave>(entries_);
    });
    form_.ShowForm();
  }
  ~DumpEditSaveTest() override {
    for (int c = 0; c < kToolCommandCount; ++c) {
      InstallToolDialog(ToolCommand(c), nullptr);
      InstallToolAction(ToolCommand(c), nullptr);
    }
  }
  std::vector<uint8_t> BufferBytes(int64_t from, int64_t count) {
    BufferLock lock(form_.Buffer());
    return {lock.data() + from, lock.data() + from + count};
  }

  AnsweredSave::Entries entries_;
  RecordingProgress progress_;
  TMainEdit form_;
};

TEST_F(DumpEditSaveTest, EveryFormatReadsBackByteForByteInSrecCat) {
  if (!formats::testing::HaveTool("srec_cat")) GTEST_SKIP() << "srec_cat is not installed";
  struct Row {
    int format;
    const char* srecFormat;  // nullptr: the file is the bytes themselves
    int32_t start;
    int32_t end;
  };
  // Odd starts and lengths: the text formats save whole 32-byte slices, so the last one
  // reaches past the range (and, at the end of the buffer, into the slack).
  const Row rows[] = {
      {0, nullptr, 0x00123, 0x2F0FE},   {1, "-intel", 0x00011, 0x100010},
      {2, "-motorola", 0x00005, 0x10004}, {3, "-motorola", 0x10001, 0x10FFFF},
      {4, "-motorola", 0x00777, 0x10FFFF}, {5, "-tektronix", 0x00101, 0x100FF},
  };
  ASSERT_TRUE(form_.ResizeBuffer(0x110000));
  {
    BufferLock lock(form_.Buffer());
    const auto random = formats::testing::RandomBytes(form_.Buffer().BlockSize(), 11);
    std::copy(random.begin(), random.end(), lock.data());
  }
  for (const Row& row : rows) {
    const std::string name = dir_.File("saved" + std::to_string(row.format));
    entries_ = {name, row.format, row.start, row.end};
    boxes_.Clear();
    form_.findChild<QToolButton*>("SaveFileB")->click();
    EXPECT_TRUE(boxes_.boxes().empty()) << row.format << ": " << boxes_.boxes()[0].text;
    const int64_t length = int64_t{row.end} - row.start + 1;
    std::string bytes = dir_.Read("saved" + std::to_string(row.format));
    if (row.srecFormat) {
      ASSERT_TRUE(formats::testing::RunTool("srec_cat " + name + " " + row.srecFormat + " -o " +
                                            name + ".bin -binary"))
          << row.format;
      bytes = dir_.Read("saved" + std::to_string(row.format) + ".bin");
    }
    const int64_t saved = row.srecFormat ? formats::RoundSavedLength(length) : length;
    const auto expected = BufferBytes(row.start, saved);
    EXPECT_EQ(bytes, std::string(expected.begin(), expected.end())) << "format " << row.format;
  }
  EXPECT_EQ(form_.Modified(), 0);
  // Only the saved files (and their read-backs) are left: no temporary stays behind.
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
    EXPECT_EQ(entry.path().filename().string().find(".saving"), std::string::npos);
}

TEST_F(DumpEditSaveTest, ARefusedDialogWritesNothing) {
  dir_.Write("old.bin", "old");
  entries_ = {dir_.File("old.bin"), 0, 0, 0x1F};
  boxes_.Answer(winapi::IDCANCEL);
  form_.findChild<QToolButton*>("SaveFileB")->click();
  EXPECT_EQ(boxes_.boxes().size(), 1u);  // the overwrite question only
  EXPECT_EQ(dir_.Read("old.bin"), "old");
}

}  // namespace
}  // namespace buffer
