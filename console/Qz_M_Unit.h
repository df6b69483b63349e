#pragma once
// The console's main window: a picture of the programmer's front panel with a live copy of
// its LCD, a clickable keypad, the list of the menu the programmer shows, the connection
// display and the tool column. The form owns the link state (its LinkState fields); user
// input only stores a key or a menu choice, which the programmer fetches when it asks.
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <functional>
#include <span>
#include <string>

#include "console/FlyOverMenuSpdBtn.h"
#include "console/LcdPainBox.h"
#include "console/core/ConnectionDisplay.h"
#include "console/core/LinkState.h"
#include "link/CommandHandlers.h"
#include "link/HW_32.h"
#include "platform/winapi/qt/CGauge.h"
#include "platform/winapi/qt/FileNames.h"

class QFrame;

// What the tool buttons run on the Dump Edit form; a hook that is not set does nothing.
struct DumpEditHooks {
  std::function<void()> LoadFile;  // the Dump Edit's load command
  std::function<void()> SaveFile;  // the Dump Edit's save command
  std::function<void()> ShowEdit;  // focus the Dump Edit when visible, else show it
};

// The port setup and poll-interval dialogs of the system menu: each shows its dialog
// modally and returns when it is closed. The form sets both; a hook emptied shows nothing.
struct PortDialogHooks {
  std::function<void()> PortSetup;
  std::function<void()> Sensitive;
};

// The status bar with its two fixed panels: the caption and the current file path.
class TPanelStatusBar : public QStatusBar {
 public:
  explicit TPanelStatusBar(QWidget* parent);
  // A panel shows a long path cut in the middle, whole in its tooltip; this is the whole text.
  QString PanelText(int index) const { return winapi::WholeName(Panels[index]); }
  void SetPanelText(int index, const QString& text) { winapi::ShowName(Panels[index], text); }

  QLabel* Panels[2];
};

class TQZ_M_Form : public QWidget, public console::LinkState, public qzlink::CommandHandlers {
  Q_OBJECT

 public:
  explicit TQZ_M_Form(QWidget* parent = nullptr);
  ~TQZ_M_Form() override;

  // Start-up, run once before the form is shown. False means the port driver is missing:
  // the user has been warned and the program must end without showing the form. The link
  // timer starts as its last step, so no tick runs before the port is set up.
  bool FormCreate();
  void FormClose();

  int ReadOemMode();
  bool ReadGangToolActive();
  void DetectLptPorts();

  // Hex keypad buttons, ESC and ENTER.
  void K_0_B97Click();
  void K_1_B97Click();
  void K_2_B97Click();
  void K_3_B97Click();
  void NUM_4SBClick();
  void NUM_5SBClick();
  void NUM_6SBClick();
  void NUM_7SBClick();
  void NUM_8SBClick();
  void NUM_9SBClick();
  void NUM_ASBClick();
  void NUM_BSBClick();
  void NUM_CSBClick();
  void NUM_DSBClick();
  void NUM_ESBClick();
  void NUM_FSBClick();
  void ESCSBClick();
  void ENTERSBClick();

  // Keyboard (virtual-key value) and mouse, as every bound control reports them.
  void FormKeyDown(int virtualKey);
  void FormMouseDown(Qt::MouseButton button);
  // The menu list's item under the pointer, -1 for none.
  void MenuListBoxClick(int index);
  void MenuListBoxDblClick(int index);
  // A key from elsewhere (GANG TOOLS presses ENTER): replaces whatever is pending.
  void PressKey(int32_t code);

  // System menu.
  void ConnectPort1Click();
  void Connect1Click();
  void About1Click();
  void About2Click();
  void Aboutsoftware1Click();
  // Tool column.
  void LoadTB97Click();
  void SaveTB97Click();
  void ShowEditTB97Click();
  void ExistSBClick();
  void SpeedButton5Click();

  // The link tick and the idle flag's one-shot.
  void ConnectTimerTimer();
  void IdleTimerTimer();

  // The programmer's commands, as the link's dispatcher hands them over.
  void ReShowLCDCommand(qzlink::LinkPacket packet) override;
  void GetKeyCodeCommand() override;
  void QZSendReadDataCommand(qzlink::LinkPacket packet) override;
  void QZGetProgramDataCommand(qzlink::LinkPacket packet) override;
  void QZSendMenuDataCommand(qzlink::LinkPacket packet) override;
  void QZSendReadDataSegmentCommand(qzlink::LinkPacket packet) override;
  void QZGetProgramDataSegmentCommand(qzlink::LinkPacket packet) override;
  void QZSendStatusDataCommandA7(qzlink::LinkPacket packet) override;

  // Selects the menu-list item that a selected LCD line (its 20 characters) shows.
  void SyncMenuFromLcd(std::span<const uint8_t, 20> line);
  // The link's failure log; FormCreate makes it the link's sink.
  void LogLinkError(const std::string& message);

  DumpEditHooks DumpEdit;
  PortDialogHooks PortDialogs;

  // Components, by the names the handlers use.
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QFrame* Panel1;
  QToolButton* SpeedButton1;
  QToolButton* SpeedButton3;
  QToolButton* SpeedButton4;
  TFlyOverMenuSpdBtn* FlyOverMenuSpdBtn1;
  QToolButton* ExistSB;
  QToolButton* SpeedButton5;
  QFrame* Panel2;
  QLabel* MenuLabel;
  QListWidget* MenuListBox;
  QFrame* LCDPanel;
  QLabel* Image1;
  TLcdPainBox* LcdPainBox1;
  QToolButton* Num0SB;
  QToolButton* Num_2SB;
  QToolButton* SpeedButton2;
  QToolButton* NUM_3SB;
  QToolButton* NUM_4SB;
  QToolButton* NUM_5SB;
  QToolButton* NUM_6SB;
  QToolButton* NUM_7SB;
  QToolButton* NUM_8SB;
  QToolButton* NUM_9SB;
  QToolButton* NUM_ASB;
  QToolButton* NUM_BSB;
  QToolButton* NUM_CSB;
  QToolButton* NUM_DSB;
  QToolButton* NUM_ESB;
  QToolButton* NUM_FSB;
  QToolButton* ESCSB;
  QToolButton* ENTERSB;
  QLabel* ConnectPanel;
  QFrame* Panel3;
  TCGauge* WaittingProgressBar;
  QListWidget* ListBox1;
  TPanelStatusBar* NowFilePath;
  QMenu* SysPopupMenu;
  QAction* ConnectPort1;
  QAction* Connect1;
  QAction* N2;
  QAction* About1;
  QAction* N1;
  QAction* About2;
  QAction* Aboutsoftware1;
  QTimer* ConnectTimer;
  // The port driver component: set to LPT 0 and IRQ 0, which it ignores, and never opened.
  qzlink::TVicHw32 ZorvVicHw32;
  // Created by FormCreate, freed by FormClose.
  QTimer* IdleTimer = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateToolColumn();
  void CreateFrontPanel();
  void CreateKeypad();
  void CreateMenuColumn();
  void CreateConnectionDisplay();
  void CreateSysPopupMenu();
  void RunPortDialog(const std::function<void()>& dialog);
  console::ConnectionDisplay ShownConnection() const;
  void ShowConnection(const console::ConnectionDisplay& display);
  void PaintConnectPanel(console::Rgb colour);
  bool SendEmptyAcknowledge();
  void StoreHexKey(int digit);
};

// The main form, reachable program-wide once the entry has created it.
extern TQZ_M_Form* QZ_M_Form;

// Opens a document with the desktop's program for it; true when that worked.
bool OpenDocument(const std::string& path);
