#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <stdexcept>

#include "buffer/core/SettingsPath.h"
#include "console/GangTool.h"
#include "console/Qz_M_Unit.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/support/FakePorts.h"
#include "tests/support/TempDir.h"

namespace {

using namespace console;

// Runs each test in a fresh start directory with a fake port driver.
class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
  }
  ~MainFormTest() override {
    std::filesystem::current_path(previous_);
    FakePorts::Remove();
  }

  // A started form on ports `bases`.
  std::unique_ptr<TQZ_M_Form> Started(std::vector<uint32_t> bases = {0x378, 0x278}) {
    FakePorts::Install(true, std::move(bases));
    auto form = std::make_unique<TQZ_M_Form>();
    EXPECT_TRUE(form->FormCreate());
    return form;
  }

  std::vector<QString> MenuCaptions(const TQZ_M_Form& form) {
    std::vector<QString> captions;
    for (QAction* action : form.SysPopupMenu->actions())
      captions.push_back(action->isSeparator() ? "-" : action->text());
    return captions;
  }

  void FillMenu(TQZ_M_Form& form, int items) {
    for (int i = 0; i < items; ++i) form.MenuListBox->addItem(QString("[%1]ITEM").arg(i));
  }

  QPoint ItemCentre(TQZ_M_Form& form, int row) {
    return form.MenuListBox->visualItemRect(form.MenuListBox->item(row)).center();
  }

  TempDir dir_;
  std::filesystem::path previous_;
  winapi::ScriptedMessageBoxes boxes_;
};

TEST_F(MainFormTest, StartUpFillsTheLinkStateAndShowsTheBanner) {
  dir_.Write("Error.ini", "[ERROR]\nTotal=0\n");
  auto form = Started();
  EXPECT_EQ(form->windowTitle(), "GANG PROGRAM");
  EXPECT_EQ(form->size(), QSize(592, 465));
  EXPECT_EQ(form->StartDirectory, dir_.path().string());
  EXPECT_EQ(form->HistoryIniPath, dir_.path().string() + "\\History.ini");
  EXPECT_EQ(buffer::SettingsPath(), form->HistoryIniPath);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("Error.ini")));
  EXPECT_EQ(form->LptBase, 0x378u);
  EXPECT_EQ(form->LptBaseTable[1], 0x278u);
  EXPECT_EQ(form->PendingKey, kNoKey);
  EXPECT_EQ(form->MenuSelection, kNoSelection);
  EXPECT_EQ(form->MenuListMode, 0);
  EXPECT_EQ(form->IdleFlag, 0);
  EXPECT_EQ(form->LogEnabled, 0);
  EXPECT_EQ(form->JedecSendMode, 0);
  ASSERT_NE(form->IdleTimer, nullptr);
  EXPECT_TRUE(form->IdleTimer->isActive());
  EXPECT_EQ(form->IdleTimer->interval(), 1000);
  EXPECT_TRUE(form->ConnectTimer->isActive());
  EXPECT_EQ(form->ConnectTimer->interval(), 60);
  EXPECT_TRUE(form->SpeedButton5->isHidden());
  EXPECT_TRUE(boxes_.boxes().empty());

  const LcdTextBlock& text = form->LcdPainBox1->TextBlock();
  EXPECT_EQ(std::string(text.begin() + 20, text.begin() + 40), "  GANG PROGRAMMER   ");
  EXPECT_EQ(std::string(text.begin() + 60, text.begin() + 80), "***Please waiting***");
  EXPECT_EQ(text[80], 0xFF);

  EXPECT_EQ(MenuCaptions(*form),
            std::vector<QString>({"&Connect Port Setup", "Connect &Sensitive", "-",
                                  "&User's Guide", "-", "&About", "&About software"}));
  EXPECT_EQ(form->NowFilePath->PanelText(0), " Current File Path : ");
  EXPECT_EQ(form->ConnectPanel->text(), "Waiting");
  EXPECT_EQ(form->WaittingProgressBar->maximum(), 200);
  EXPECT_EQ(form->Label1->text(), "Watting Time :");
  EXPECT_EQ(form->MenuLabel->text(), "Menu Overview :");
}

TEST_F(MainFormTest, WithoutADriverTheStartEndsAfterTheWarning) {
  FakePorts::Install(false, {0x378});
  boxes_.Answer(winapi::IDCANCEL);
  TQZ_M_Form form;
  EXPECT_FALSE(form.FormCreate());
  EXPECT_EQ(boxes_.beeps(), std::vector<unsigned>({0}));
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text, "The driver TVicHW32 can not be found!\nProgram Terminated !");
  EXPECT_EQ(boxes_.boxes()[0].caption, " Warning! ");
  EXPECT_EQ(boxes_.boxes()[0].flags, unsigned(winapi::MB_OKCANCEL));
  // Nothing after the driver check ran.
  EXPECT_EQ(form.IdleTimer, nullptr);
  EXPECT_EQ(form.LptBase, 0u);
  EXPECT_EQ(form.LcdPainBox1->TextBlock()[80], 0);
}

// A box host that notes whether the link timer ran while a box was up.
class TimerWatchingBoxes : public winapi::MessageBoxHost {
 public:
  explicit TimerWatchingBoxes(const TQZ_M_Form& form)
      : form_(form), previous_(winapi::SetMessageBoxHost(this)) {}
  ~TimerWatchingBoxes() override { winapi::SetMessageBoxHost(previous_); }
  int Show(winapi::Owner, const std::string&, const std::string&, unsigned) override {
    timerRanDuringABox = timerRanDuringABox || form_.ConnectTimer->isActive();
    ++shown;
    return winapi::IDOK;
  }
  void Beep(unsigned) override {}

  bool timerRanDuringABox = false;
  int shown = 0;

 private:
  const TQZ_M_Form& form_;
  winapi::MessageBoxHost* previous_;
};

TEST_F(MainFormTest, TheLinkTimerStartsOnlyAsTheLastStepOfASuccessfulStart) {
  FakePorts::Install(false, {0x378});
  {
    TQZ_M_Form form;
    EXPECT_FALSE(form.ConnectTimer->isActive());
    TimerWatchingBoxes watch(form);
    EXPECT_FALSE(form.FormCreate());
    EXPECT_EQ(watch.shown, 1);
    EXPECT_FALSE(watch.timerRanDuringABox);
    EXPECT_FALSE(form.ConnectTimer->isActive());
  }
  auto form = Started();
  EXPECT_TRUE(form->ConnectTimer->isActive());
}

TEST_F(MainFormTest, OemModeOneRemovesExactlyTheTwoAboutEntries) {
  dir_.Write("OEM.INI", "[OEM]\nISOEM=1\n");
  auto form = Started();
  EXPECT_EQ(MenuCaptions(*form), std::vector<QString>({"&Connect Port Setup",
                                                       "Connect &Sensitive", "-",
                                                       "&User's Guide", "-"}));
  // The rest of the start-up still runs.
  EXPECT_EQ(form->MenuSelection, kNoSelection);
  ASSERT_NE(form->IdleTimer, nullptr);

  dir_.Write("OEM.INI", "[OEM]\nISOEM=2\n");
  EXPECT_EQ(MenuCaptions(*Started()).size(), 7u);
}

TEST_F(MainFormTest, SettingsChooseToolsButtonPortAndMenuListMode) {
  dir_.Write("History.ini", "[GangTool]\nActive=1\n[System]\nDataPort=3BC\nMenuList=1\n");
  auto form = Started();
  EXPECT_FALSE(form->SpeedButton5->isHidden());
  EXPECT_EQ(form->LptBase, 0x3BCu);
  EXPECT_EQ(form->LptBaseTable[0], 0x378u);
  EXPECT_EQ(form->MenuListMode, 1);

  dir_.Write("History.ini", "[System]\nDataPort=NOSETUP\n");
  EXPECT_EQ(Started()->LptBase, 0x378u);
  dir_.Write("History.ini", "[System]\nDataPort= 0x278\n");
  EXPECT_EQ(Started({})->LptBase, 0x278u);
  dir_.Write("History.ini", "[System]\nDataPort=XYZ\n");
  EXPECT_EQ(Started()->LptBase, 0u);
  dir_.Write("History.ini", "");
  EXPECT_EQ(Started({})->LptBase, 0u);
}

TEST_F(MainFormTest, KeypadButtonsStoreTheirCodes) {
  auto form = Started();
  QToolButton* hexButtons[] = {form->Num0SB,  form->Num_2SB, form->SpeedButton2, form->NUM_3SB,
                               form->NUM_4SB, form->NUM_5SB, form->NUM_6SB,      form->NUM_7SB,
                               form->NUM_8SB, form->NUM_9SB, form->NUM_ASB,      form->NUM_BSB,
                               form->NUM_CSB, form->NUM_DSB, form->NUM_ESB,      form->NUM_FSB};
  for (int digit = 0; digit < 16; ++digit) {
    QTest::mouseClick(hexButtons[digit], Qt::LeftButton);
    EXPECT_EQ(form->PendingKey, 0x10 + digit);
    EXPECT_EQ(hexButtons[digit]->cursor().shape(), Qt::PointingHandCursor);
  }
  QTest::mouseClick(form->NUM_5SB, Qt::LeftButton);
  QTest::mouseClick(form->ENTERSB, Qt::LeftButton);
  EXPECT_EQ(form->PendingKey, 0x15);
  QTest::mouseClick(form->ESCSB, Qt::LeftButton);
  EXPECT_EQ(form->PendingKey, kEscKey);
  form->PendingKey = kNoKey;
  QTest::mouseClick(form->ENTERSB, Qt::LeftButton);
  EXPECT_EQ(form->PendingKey, kEnterKey);
  QTest::mouseClick(form->NUM_5SB, Qt::LeftButton);
  EXPECT_EQ(form->PendingKey, 0x15);
}

TEST_F(MainFormTest, KeysAreMappedSwallowedAndLeaveTheFocusOnTheSink) {
  auto form = Started();
  FillMenu(*form, 5);
  form->MenuListBox->setCurrentRow(2);
  QTest::keyClick(form->MenuListBox, Qt::Key_Down);
  EXPECT_EQ(form->PendingKey, 0x1F);
  EXPECT_EQ(form->MenuListBox->currentRow(), 2);
  EXPECT_EQ(form->focusWidget(), form->ListBox1);
  QTest::keyClick(form->ListBox1, Qt::Key_Up);
  EXPECT_EQ(form->PendingKey, 0x1B);
  QTest::keyClick(form->ListBox1, Qt::Key_C, Qt::ShiftModifier);
  EXPECT_EQ(form->PendingKey, 0x1C);
  QTest::keyClick(form->ListBox1, Qt::Key_7);
  EXPECT_EQ(form->PendingKey, 0x17);
  QTest::keyClick(form->ListBox1, Qt::Key_G);
  QTest::keyClick(form->ListBox1, Qt::Key_F1);
  QTest::keyClick(form->MenuListBox, Qt::Key_Home);
  EXPECT_EQ(form->PendingKey, 0x17);
  EXPECT_EQ(form->MenuListBox->currentRow(), 2);
  QTest::keyClick(form.get(), Qt::Key_Return);
  EXPECT_EQ(form->PendingKey, kEnterKey);
  QTest::keyClick(form->MenuListBox, Qt::Key_Escape);
  EXPECT_EQ(form->PendingKey, kEscKey);
}

TEST_F(MainFormTest, MousePressesMarkTheUserBusyAndRightMeansEsc) {
  auto form = Started();
  form->IdleFlag = 1;
  form->IdleTimer->stop();
  QTest::mouseClick(form->LcdPainBox1, Qt::LeftButton);
  EXPECT_EQ(form->IdleFlag, 0);
  EXPECT_TRUE(form->IdleTimer->isActive());
  EXPECT_EQ(form->PendingKey, kNoKey);

  QWidget* places[] = {form->Image1, form->LcdPainBox1, form->Panel1, form->Panel2, form.get()};
  for (QWidget* place : places) {
    form->PendingKey = 0x15;
    // The form's own background shows between the tool column and the front panel.
    QPoint point = place == form.get() ? QPoint(form->LCDPanel->x() - 2, 5) : QPoint(2, 2);
    QTest::mouseClick(place, Qt::RightButton, {}, point);
    EXPECT_EQ(form->PendingKey, kEscKey) << place->metaObject()->className();
  }
  // The connection display is bound to nothing.
  form->PendingKey = 0x15;
  QTest::mouseClick(form->ConnectPanel, Qt::RightButton);
  EXPECT_EQ(form->PendingKey, 0x15);
  EXPECT_EQ(form->MenuSelection, kNoSelection);
}

TEST_F(MainFormTest, PressesOnChildControlsOfThePanelsAreNotThePanelsOwn) {
  auto form = Started();
  form->IdleFlag = 1;
  QWidget* children[] = {form->SpeedButton1, form->SpeedButton3, form->SpeedButton4,
                         form->FlyOverMenuSpdBtn1, form->ExistSB, form->MenuLabel};
  for (QWidget* child : children) {
    QTest::mouseClick(child, Qt::RightButton);
    EXPECT_EQ(form->PendingKey, kNoKey) << child->metaObject()->className();
    QTest::mouseClick(child, Qt::MiddleButton);
  }
  EXPECT_EQ(form->IdleFlag, 1);
  EXPECT_NE(form->IdleTimer, nullptr);  // the exit button took no right press
  // A keypad key stands over the picture but is no part of it.
  QTest::mouseClick(form->NUM_7SB, Qt::RightButton);
  EXPECT_EQ(form->PendingKey, kNoKey);
}

// Keys as X11 reports them: the keycode of the key's position and the key the layout makes
// of it.
struct LayoutKey {
  const char* what;
  int qtKey;
  Qt::KeyboardModifiers modifiers;
  uint32_t keycode;
  int32_t code;
};

void PrintTo(const LayoutKey& key, std::ostream* out) { *out << key.what; }

class KeyLayoutTest : public MainFormTest, public ::testing::WithParamInterface<LayoutKey> {};

TEST_P(KeyLayoutTest, TheKeyCountsNotTheCharacterItMakes) {
  const LayoutKey& key = GetParam();
  auto form = Started();
  QKeyEvent press(QEvent::KeyPress, key.qtKey, key.modifiers, key.keycode, 0, 0);
  QApplication::sendEvent(form->ListBox1, &press);
  EXPECT_EQ(form->PendingKey, key.code) << key.what;
  EXPECT_EQ(form->focusWidget(), form->ListBox1);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyLayoutTest,
    ::testing::Values(
        LayoutKey{"AZERTY 1 (&)", Qt::Key_Ampersand, {}, 10, 0x11},
        LayoutKey{"AZERTY 2 (e acute)", Qt::Key_Eacute, {}, 11, 0x12},
        LayoutKey{"AZERTY 0 (a grave)", Qt::Key_Agrave, {}, 19, 0x10},
        LayoutKey{"AZERTY shifted 9", Qt::Key_9, Qt::ShiftModifier, 18, 0x19},
        LayoutKey{"QWERTY shifted 1 (!)", Qt::Key_Exclam, Qt::ShiftModifier, 10, 0x11},
        LayoutKey{"QWERTY shifted 0 ())", Qt::Key_ParenRight, Qt::ShiftModifier, 19, 0x10},
        LayoutKey{"QWERTY 5", Qt::Key_5, {}, 14, 0x15},
        LayoutKey{"keypad 3", Qt::Key_3, Qt::KeypadModifier, 89, 0x13},
        LayoutKey{"AZERTY A (QWERTY's Q place)", Qt::Key_A, {}, 24, 0x1A},
        LayoutKey{"shifted d", Qt::Key_D, Qt::ShiftModifier, 40, 0x1D},
        LayoutKey{"minus", Qt::Key_Minus, {}, 20, kNoKey},
        LayoutKey{"AZERTY ) beside the 0", Qt::Key_ParenRight, {}, 20, kNoKey}),
    [](const ::testing::TestParamInfo<LayoutKey>& info) { return "Key" + std::to_string(info.index); });

TEST_F(MainFormTest, MenuListClicksChooseItemsOnly) {
  auto form = Started();
  FillMenu(*form, 3);
  QWidget* list = form->MenuListBox->viewport();
  QTest::mouseClick(list, Qt::RightButton, {}, ItemCentre(*form, 1));
  EXPECT_EQ(form->PendingKey, kEscKey);
  EXPECT_EQ(form->MenuSelection, kNoSelection);
  QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(20, list->height() - 5));
  EXPECT_EQ(form->MenuSelection, kNoSelection);
  QTest::mouseClick(list, Qt::LeftButton, {}, ItemCentre(*form, 2));
  EXPECT_EQ(form->MenuSelection, 2);
}

TEST_F(MainFormTest, DoubleClickPressesEnterOnlyWithMenuListOn) {
  auto form = Started();
  FillMenu(*form, 4);
  QWidget* list = form->MenuListBox->viewport();
  QTest::mouseDClick(list, Qt::LeftButton, {}, ItemCentre(*form, 3));
  EXPECT_EQ(form->MenuSelection, 3);
  EXPECT_EQ(form->PendingKey, kNoKey);

  form->MenuListMode = 1;
  form->MenuSelection = kNoSelection;
  QTest::mouseDClick(list, Qt::LeftButton, {}, ItemCentre(*form, 1));
  EXPECT_EQ(form->MenuSelection, 1);
  EXPECT_EQ(form->PendingKey, kEnterKey);
}

TEST_F(MainFormTest, ToolButtonsRunTheirHooks) {
  auto form = Started();
  QTest::mouseClick(form->SpeedButton1, Qt::LeftButton);  // no hooks yet: nothing happens
  std::vector<std::string> calls;
  form->DumpEdit.LoadFile = [&] { calls.push_back("load"); };
  form->DumpEdit.SaveFile = [&] { calls.push_back("save"); };
  form->DumpEdit.ShowEdit = [&] { calls.push_back("show"); };
  QTest::mouseClick(form->SpeedButton1, Qt::LeftButton);
  QTest::mouseClick(form->SpeedButton3, Qt::LeftButton);
  QTest::mouseClick(form->SpeedButton4, Qt::LeftButton);
  EXPECT_EQ(calls, std::vector<std::string>({"load", "save", "show"}));
}

TEST_F(MainFormTest, TheToolsButtonWarnsThenShowsGangTools) {
  auto form = Started();
  TGangTools tools;
  GangTools = &tools;
  form->SpeedButton5Click();
  GangTools = nullptr;
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text, "\nPlease set GANG PROGRAMMER in AUTO FROM PC\n\n");
  EXPECT_EQ(boxes_.boxes()[0].caption, "Attention");
  EXPECT_EQ(boxes_.boxes()[0].flags, unsigned(winapi::MB_OK));
  EXPECT_TRUE(tools.isVisible());
}

TEST_F(MainFormTest, PortDialogsPauseTheLinkTimerAndErrorsAreShown) {
  auto form = Started();
  bool timerRanDuringDialog = true;
  form->PortDialogs.PortSetup = [&] {
    timerRanDuringDialog = form->ConnectTimer->isActive();
    throw std::runtime_error("Port dialog failed");
  };
  form->ConnectPort1->trigger();
  EXPECT_FALSE(timerRanDuringDialog);
  EXPECT_TRUE(form->ConnectTimer->isActive());
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text, "Port dialog failed");
  EXPECT_EQ(boxes_.boxes()[0].caption, "GANG PROGRAM");

  form->Connect1->trigger();  // its own dialog, cancelled: the timer still runs afterwards
  EXPECT_TRUE(form->ConnectTimer->isActive());
}

TEST_F(MainFormTest, ClosingReleasesTheDriverAndTheIdleTimer) {
  auto form = Started();
  uint32_t handle = portio::DriverHandle;
  ASSERT_EQ(portio::DriverIsActive(handle), 1u);
  form->show();
  QTest::mouseClick(form->ExistSB, Qt::LeftButton);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(portio::DriverIsActive(handle), 0u);
  EXPECT_EQ(form->IdleTimer, nullptr);
  // A press after closing finds no idle timer to start.
  form->FormMouseDown(Qt::LeftButton);
}

TEST_F(MainFormTest, KeypadButtonsSitOverTheirCaps) {
  auto form = Started();
  EXPECT_EQ(form->LcdPainBox1->geometry(), QRect(32, 26, 202, 58));
  EXPECT_EQ(form->Image1->size(), QSize(300, 420));
  EXPECT_EQ(form->LcdPainBox1->parentWidget(), form->LCDPanel);
  EXPECT_TRUE(form->ENTERSB->geometry().intersects(form->Image1->geometry()));
  EXPECT_GE(form->ListBox1->y(), 465);
}

}  // namespace
