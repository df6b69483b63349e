// The start-address form behind the Intel Hex reader's question: what it shows, each of its
// three choices, and a read that goes through it from end to end.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "buffer/RadioGroup.h"
#include "buffer/SetHexPosition.h"
#include "buffer/core/SettingsPath.h"
#include "buffer/formats/FileImage.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "platform/winapi/qt/TitleWidth.h"
#include "tests/support/TempDir.h"

namespace buffer {
namespace {

class HexFormTest : public ::testing::Test {
 protected:
  HexFormTest() : previous_(SettingsPath()) { SetSettingsPath(dir_.File("History.ini")); }
  ~HexFormTest() override { SetSettingsPath(previous_); }

  TempDir dir_;
  std::string previous_;
};

TEST_F(HexFormTest, ShowsTheFileBaseAndTheLoadDestinationFromTheSettingsFile) {
  TIniFile(SettingsPath()).WriteInteger("LoadDlg", "DistSAdd", 0x1234);
  bool shown = false;
  THexFormChooser chooser(nullptr, [&](THexForm& form) {
    form.show();
    shown = true;
    EXPECT_EQ(form.windowTitle(), "Load Intel Hex File To Buffer");
    EXPECT_GE(form.width(), winapi::TitleBarWidth(form)) << "the caption is cut";
    EXPECT_EQ(form.SelectMode()->ItemIndex(), 1);
    EXPECT_TRUE(form.SelectMode()->Button(1)->isChecked());
    EXPECT_EQ(form.DefaultAddr()->text(), "010000");
    EXPECT_FALSE(form.DefaultAddr()->isEnabled());
    EXPECT_EQ(form.DestinationAddr()->text(), "001234");
    EXPECT_FALSE(form.DestinationAddr()->isEnabled());
    QTest::mouseClick(form.Decision(), Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
  });
  EXPECT_EQ(chooser.ChooseSegmentBase(0x10000), 0x10000u);
  EXPECT_TRUE(shown);

  TIniFile(SettingsPath()).WriteInteger("LoadDlg", "DistSAdd", 0);
  THexFormChooser zero(nullptr, [&](THexForm& form) {
    form.show();
    EXPECT_EQ(form.DestinationAddr()->text(), "000000");
    form.close();  // the close box keeps the choice on the form
  });
  EXPECT_EQ(zero.ChooseSegmentBase(0x20), 0x20u);
}

TEST_F(HexFormTest, ForcingZeroAndTypingAnAddressGiveThoseBases) {
  THexFormChooser force(nullptr, [](THexForm& form) {
    form.show();
    QTest::mouseClick(form.SelectMode()->Button(0), Qt::LeftButton);
    EXPECT_FALSE(form.DestinationAddr()->isEnabled());
    form.DecisionClick();
  });
  EXPECT_EQ(force.ChooseSegmentBase(0x10000), 0u);

  THexFormChooser set(nullptr, [](THexForm& form) {
    form.show();
    QTest::mouseClick(form.SelectMode()->Button(2), Qt::LeftButton);
    ASSERT_TRUE(form.DestinationAddr()->isEnabled());
    form.DestinationAddr()->clear();
    QTest::keyClicks(form.DestinationAddr(), "2a-x0f09");  // others dropped, a..f raised
    EXPECT_EQ(form.DestinationAddr()->text(), "2A0F09");
    // Minimised and restored: the window system's show leaves the typed address and its edit.
    form.showMinimized();
    form.showNormal();
    EXPECT_EQ(form.DestinationAddr()->text(), "2A0F09");
    EXPECT_TRUE(form.DestinationAddr()->isEnabled());
    form.DecisionClick();
  });
  EXPECT_EQ(set.ChooseSegmentBase(0x10000), 0x2A0F09u);

  THexFormChooser empty(nullptr, [](THexForm& form) {
    form.show();
    form.SelectMode()->SetItemIndex(2);  // from code: the click runs too
    EXPECT_TRUE(form.DestinationAddr()->isEnabled());
    form.DestinationAddr()->clear();
    form.DecisionClick();
  });
  EXPECT_EQ(empty.ChooseSegmentBase(0x10000), 0u);
}

TEST_F(HexFormTest, AReadThroughTheFormPlacesTheDataAtTheTypedBase) {
  THexFormChooser chooser(nullptr, [](THexForm& form) {
    form.show();
    QTest::mouseClick(form.SelectMode()->Button(2), Qt::LeftButton);
    form.DestinationAddr()->setText("002000");
    form.DecisionClick();
  });
  const std::string text = ":020000021000EC\n:0100000011EE\n:00000001FF\n";
  auto file =
      formats::MakeFileImage("a.hex", {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
  winapi::ScriptedMessageBoxes boxes;
  auto result = formats::ParseIntelHex(nullptr, 0xFF, std::move(file), 0x100, chooser);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->highest, 0x2000);
  EXPECT_EQ(result->image[0x2000], 0x11);
  EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace
}  // namespace buffer
