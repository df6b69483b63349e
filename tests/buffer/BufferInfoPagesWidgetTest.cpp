// The information and map pages of the Dump Edit offscreen: the map widget's rules, the page
// change that fills both pages, the scroll bar that moves the map, the mouse address.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <cstring>

#include "buffer/BufferMap.h"
#include "buffer/DumpEdit.h"
#include "buffer/core/Messages.h"
#include "buffer/core/SettingsPath.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "platform/winapi/qt/QtMessageBoxes.h"
#include "tests/support/TempDir.h"

namespace buffer {
namespace {

constexpr int kInfoPage = 2;
constexpr int kMapPage = 3;

QPixmap Solid(QColor colour) {
  QPixmap picture(16, 16);
  picture.fill(colour);
  return picture;
}

TEST(TBufferMapWidget, KeepsItsCellsAndDrawsThemFromThePictures) {
  TBufferMap map;
  EXPECT_EQ(map.size(), QSize(40, 40));
  EXPECT_EQ(map.Colls_W(), 10);
  EXPECT_EQ(map.Colls_H(), 6);
  for (std::int32_t refused : {100, 0, -1}) {
    map.SetWColls(refused);
    map.SetHColls(refused);
  }
  EXPECT_EQ(map.Colls_W(), 10);
  EXPECT_EQ(map.Colls_H(), 6);

  map.SetArrValue(0, 1, 2);
  map.SetArrValue(0, 1, 4);
  map.SetArrValue(100, 0, 1);
  map.SetArrValue(0, -1, 1);
  EXPECT_EQ(map.ReadArrValue(0, 1), 2);
  EXPECT_EQ(map.ReadArrValue(100, 0), 0);
  EXPECT_EQ(map.ReadArrValue(0, 100), 0);
  map.SetArrValue(99, 99, 3);
  EXPECT_EQ(map.ReadArrValue(99, 99), 3);

  map.SetDataPictur(Solid(Qt::darkCyan));
  map.SetBitLowPictur(Solid(Qt::darkBlue));
  map.SetBitHeigh(Solid(Qt::darkRed));
  map.SetWColls(24);
  map.SetHColls(16);
  EXPECT_EQ(map.size(), QSize(388, 260));
  map.SetArrValue(0, 2, 1);
  map.SetArrValue(1, 0, 3);
  const QImage shown = map.grab().toImage();
  EXPECT_EQ(shown.pixelColor(3 + 8, 3 + 8), QColor(Qt::darkBlue));        // cell (0, 0) = 0
  EXPECT_EQ(shown.pixelColor(3 + 16 + 8, 3 + 8), QColor(Qt::darkCyan));  // (0, 1) = 2
  EXPECT_EQ(shown.pixelColor(3 + 32 + 8, 3 + 8), QColor(Qt::darkRed));   // (0, 2) = 1
  EXPECT_EQ(shown.pixelColor(3 + 8, 3 + 16 + 8), QColor(0xC0, 0xC0, 0xC0));  // (1, 0) = 3
  // The sunken frame: black outline, gray top and left, white right and bottom.
  EXPECT_EQ(shown.pixelColor(0, 0), QColor(Qt::black));
  EXPECT_EQ(shown.pixelColor(1, 100), QColor(0x80, 0x80, 0x80));
  EXPECT_EQ(shown.pixelColor(200, 1), QColor(0x80, 0x80, 0x80));
  EXPECT_EQ(shown.pixelColor(386, 2), QColor(Qt::white));
  EXPECT_EQ(shown.pixelColor(2, 258), QColor(Qt::white));
  EXPECT_EQ(shown.pixelColor(1, 258), QColor(0xC0, 0xC0, 0xC0));
}

class InfoPages : public ::testing::Test {
 protected:
  InfoPages() : previous_(SettingsPath()) {
    SetSettingsPath(dir_.File("History.ini"));
    form_.ShowForm();
  }
  ~InfoPages() override { SetSettingsPath(previous_); }

  const BufferInfoPages& Pages() const { return form_.InfoPages(); }
  QString Text(QLabel* label) const { return label->text(); }
  QString RowAddress(int row) const { return Pages().MapAddStringGrid->item(row, 0)->text(); }
  std::int32_t Cell(int row, int column) const {
    return Pages().InfBufferMap->ReadArrValue(row, column);
  }
  void Fill(std::int32_t address, std::uint8_t value, std::size_t count) {
    BufferLock lock(form_.Buffer());
    std::memset(lock.data() + address, value, count);
  }
  std::vector<bool> ButtonsEnabled(const char* prefix) const {
    std::vector<bool> enabled;
    for (QToolButton* button : form_.findChildren<QToolButton*>()) {
      if (button->objectName().startsWith(prefix)) enabled.push_back(button->isEnabled());
    }
    return enabled;
  }

  TempDir dir_;
  std::string previous_;
  winapi::ScriptedMessageBoxes boxes_;
  TMainEdit form_;
};

TEST_F(InfoPages, APageChangeFillsThePagesFromTheBufferAndTheSums) {
  EXPECT_EQ(Text(Pages().CheckSumLabel), "Check Sum : 00000000H");
  EXPECT_EQ(Text(Pages().SumSaddLabel), "Range :");
  EXPECT_EQ(Text(Pages().EndAddressLabel), "000000");
  EXPECT_EQ(Text(Pages().FileFormatLabel), "None");
  EXPECT_EQ(Text(Pages().Label18), "[000000]");
  // Changed data: a zero block, a data block and, in the second map row, ones again.
  Fill(0x0000, 0x00, 0x100);
  Fill(0x0100, 0x00, 0x100);
  Fill(0x01FF, 0x01, 1);
  Fill(0x1800, 0x00, 0x80);
  form_.Fields().LastSum = 0x00FF0000;
  form_.Fields().LastSumStart = 0;
  form_.Fields().LastSumEnd = 0xFFFF;
  form_.Fields().FileStartAdd = 0x8000;
  form_.Fields().FileSize = 0x8100;
  form_.Fields().MapOffset = 0x3000;
  TIniFile(SettingsPath()).WriteString("LoadDlg", "Name", "C:\\DATA.HEX");

  form_.MainEditPage()->setCurrentIndex(kInfoPage);
  EXPECT_EQ(ButtonsEnabled("SpeedButton"), std::vector<bool>(7, true));
  EXPECT_EQ(form_.findChild<QToolButton*>("LoadFileB")->isEnabled(), false);
  EXPECT_EQ(form_.findChild<QToolButton*>("SearchNextSpeed")->isEnabled(), false);
  EXPECT_EQ(Text(Pages().CheckSumLabel), "Check Sum : 00FF0000 H");
  EXPECT_EQ(Text(Pages().SumSaddLabel), "Get Sum Range : 000000H <---> 00FFFFH");
  EXPECT_EQ(Text(Pages().BufSizeLabel), "100000");
  EXPECT_EQ(Text(Pages().StartAddLabel), "008000");
  EXPECT_EQ(Text(Pages().EndAddressLabel), "0080FF");
  // The page change leaves the file's name and format as they were.
  EXPECT_EQ(Text(Pages().LastLoadFileNameLabel), "None");
  EXPECT_EQ(form_.Fields().MapOffset, 0);
  EXPECT_TRUE(Pages().BufMapScrollBar->isEnabled());
  EXPECT_EQ(Pages().BufMapScrollBar->maximum(), 155);
  EXPECT_EQ(Pages().BufMapScrollBar->value(), 0);
  EXPECT_EQ(Cell(0, 0), kAllBitLowBlock);
  EXPECT_EQ(Cell(0, 1), kDataBlock);
  EXPECT_EQ(Cell(0, 2), kAllBitHighBlock);
  EXPECT_EQ(Cell(1, 0), kDataBlock);
  EXPECT_EQ(Cell(15, 23), kAllBitHighBlock);
  EXPECT_EQ(RowAddress(0), "000000");
  EXPECT_EQ(RowAddress(15), "016800");

  // Edits after the page change show at the next one.
  Fill(0x0200, 0x00, 0x100);
  form_.MainEditPage()->setCurrentIndex(kMapPage);
  EXPECT_EQ(Cell(0, 2), kAllBitLowBlock);
  EXPECT_EQ(form_.findChild<QToolButton*>("BlockSpeed")->isEnabled(), false);

  form_.MainEditPage()->setCurrentIndex(0);
  EXPECT_EQ(ButtonsEnabled("SpeedButton"), std::vector<bool>(7, true));
  for (const char* name : {"LoadFileB", "SaveFileB", "GetSumSpeed", "FillDataSeep",
                           "BlockSpeed", "SearchSpeed", "SearchNextSpeed"}) {
    EXPECT_TRUE(form_.findChild<QToolButton*>(name)->isEnabled()) << name;
  }
}

TEST_F(InfoPages, ShowBufferInfoAlsoNamesTheLastFileAndItsFormat) {
  TIniFile settings(SettingsPath());
  settings.WriteString("LoadDlg", "Name", "C:\\DATA.HEX");
  settings.WriteString("LoadDlg", "Format", "6");
  form_.ShowBufferInfo();
  EXPECT_EQ(Text(Pages().LastLoadFileNameLabel), "C:\\DATA.HEX");
  EXPECT_EQ(Text(Pages().FileFormatLabel), "Tekelonix Hex.");
  settings.WriteString("LoadDlg", "Name", "C:\\FUSES.JED");
  settings.WriteString("LoadDlg", "Format", "8");
  form_.ShowBufferInfo();
  EXPECT_EQ(Text(Pages().LastLoadFileNameLabel), "C:\\FUSES.JED");
  EXPECT_EQ(Text(Pages().FileFormatLabel), "Tekelonix Hex.");
  // A name is shown as the file system spells it, here and in a box that names it.
  const std::string name = "/data/donn\xC3\xA9" "es.hex";
  settings.WriteString("LoadDlg", "Name", name);
  form_.ShowBufferInfo();
  EXPECT_EQ(Text(Pages().LastLoadFileNameLabel), u"/data/données.hex");
  ShowMessage(messages::kSettingsWriteFailed, name);
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text, "Cannot write the settings file " + name);
  EXPECT_EQ(winapi::MakeMessageBox(nullptr, boxes_.boxes()[0].text, "", 0)->text(),
            u"Cannot write the settings file /data/données.hex");
  EXPECT_EQ(winapi::MakeMessageBox(nullptr, "caf\xE9", "", 0)->text(), u"caf\uFFFD") << "not UTF-8";
}

TEST_F(InfoPages, TheScrollBarReachesEveryRowOfBlocks) {
  ASSERT_TRUE(form_.ResizeBuffer(0x18000));
  form_.ShowBufferInfo();
  EXPECT_FALSE(Pages().BufMapScrollBar->isEnabled());
  // A 17th row of 16 blocks comes into view at position 1.
  ASSERT_TRUE(form_.ResizeBuffer(0x19000));
  form_.ShowBufferInfo();
  EXPECT_TRUE(Pages().BufMapScrollBar->isEnabled());
  EXPECT_EQ(Pages().BufMapScrollBar->maximum(), 1);
  Pages().BufMapScrollBar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(RowAddress(15), "018000");
  EXPECT_EQ(Cell(15, 15), kAllBitHighBlock);
  EXPECT_EQ(Cell(15, 16), kNoBlock);
}

TEST_F(InfoPages, TheMapMovesOnStepsPagesAndReleasesOnly) {
  form_.MainEditPage()->setCurrentIndex(kMapPage);
  QScrollBar* bar = Pages().BufMapScrollBar;
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(form_.Fields().MapOffset, 6144);
  EXPECT_EQ(RowAddress(0), "001800");
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(form_.Fields().MapOffset, 10 * 6144);
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(RowAddress(0), "00D800");

  // Dragging the thumb leaves the map alone until the thumb is let go.
  bar->setSliderDown(true);
  bar->setSliderPosition(155);
  EXPECT_EQ(RowAddress(0), "00D800");
  bar->setSliderDown(false);
  EXPECT_EQ(form_.Fields().MapOffset, 0x0E8800);
  EXPECT_EQ(RowAddress(0), "0E8800");
  EXPECT_EQ(Cell(15, 15), kAllBitHighBlock);
  EXPECT_EQ(Cell(15, 16), kNoBlock);

  bar->triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(bar->value(), 146);
  EXPECT_EQ(RowAddress(0), FormatHex6(146 * 6144).c_str());
  // A direct move of the thumb ("scroll here") ends its scroll there.
  bar->setValue(3);
  EXPECT_EQ(RowAddress(0), "004800");

  // The mouse names the block under it, even past the buffer.
  QTest::mouseMove(Pages().InfBufferMap, QPoint(40, 20));
  EXPECT_EQ(Text(Pages().Label18), "[006200]");
  form_.InfBufferMapMouseMove(387, 259);
  EXPECT_EQ(Text(Pages().Label18), "[01E000]");

  // Back to an information page: the map starts again at the top.
  form_.MainEditPage()->setCurrentIndex(kInfoPage);
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(RowAddress(0), "000000");
}

}  // namespace
}  // namespace buffer
