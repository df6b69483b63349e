#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "buffer/SettingsDialog.h"
#include "buffer/core/DialogSettings.h"
#include "buffer/core/SettingsPath.h"
#include "tests/support/TempDir.h"

namespace {

using namespace buffer;

class ProbeDialog : public SettingsDialog {
 public:
  ProbeDialog() : SettingsDialog("GetSumDlg") { resize(300, 120); }
  using SettingsDialog::CloseConfirmed;
  using SettingsDialog::CloseRefused;
};

class SettingsDialogTest : public ::testing::Test {
 protected:
  SettingsDialogTest() : previous_(SettingsPath()) {
    SetSettingsPath(dir_.File("History.ini"));
    dir_.Write("History.ini", "[GetSumDlg]\nStartAdd=16\nOK=1\n");
  }
  ~SettingsDialogTest() override { SetSettingsPath(previous_); }

  TempDir dir_;
  std::string previous_;
};

TEST_F(SettingsDialogTest, ClosingOtherThanByTheButtonsCountsAsRefused) {
  {
    ProbeDialog dialog;
    EXPECT_EQ(ReadDialogOk("GetSumDlg"), 0);
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
  }
  EXPECT_EQ(ReadDialogOk("GetSumDlg"), 0);
  EXPECT_NE(dir_.Read("History.ini").find("StartAdd=16"), std::string::npos);
}

TEST_F(SettingsDialogTest, TheButtonsWriteOk) {
  ProbeDialog confirmed;
  confirmed.CloseConfirmed();
  EXPECT_EQ(confirmed.result(), QDialog::Accepted);
  EXPECT_EQ(ReadDialogOk("GetSumDlg"), 1);
  ProbeDialog refused;
  EXPECT_EQ(ReadDialogOk("GetSumDlg"), 0);
  confirmed.CloseConfirmed();
  refused.CloseRefused();
  EXPECT_EQ(ReadDialogOk("GetSumDlg"), 0);
}

TEST_F(SettingsDialogTest, OpensCentredOnTheDesktop) {
  ProbeDialog dialog;
  dialog.show();
  QRect desktop = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(dialog.x(), desktop.left() + (desktop.width() - dialog.width()) / 2);
  EXPECT_EQ(dialog.y(), desktop.top() + (desktop.height() - dialog.height()) / 2);
}

}  // namespace
