#include "console/Qz_M_Unit.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QUrl>
#include <exception>

#include "buffer/core/SettingsPath.h"
#include "console/AboutUnit1.h"
#include "console/ConsoleProgram.h"
#include "console/FrontPanel.h"
#include "console/GangTool.h"
#include "console/GlyphSheet.h"
#include "console/ModalRun.h"
#include "console/PortSetupUnit.h"
#include "console/SPLASHFORM.h"
#include "console/SesitiveUnit.h"
#include "console/core/PanelInput.h"
#include "console/core/StartupSettings.h"
#include "link/LinkLog.h"
#include "link/PortStartup.h"
#include "platform/portio/PortDriver.h"
#include "platform/winapi/ApplicationErrors.h"
#include "platform/winapi/MessageBox.h"
#include "platform/winapi/Paths.h"

TQZ_M_Form* QZ_M_Form = nullptr;

namespace {

constexpr int kClientWidth = 592;
constexpr int kClientHeight = 465;
constexpr int kStatusBarHeight = 19;
constexpr int kToolButtonWidth = 55;
constexpr int kToolButtonHeight = 49;
constexpr int kConnectInterval = 60;
constexpr int kIdleInterval = 1000;

// The toolkit's key as a virtual-key value; 0 for keys that have none here. The digit row
// counts by position, so AZERTY's unshifted "&" and QWERTY's shifted "!" are both 1; the
// letters are the layout's, in either case.
int VirtualKeyFor(const QKeyEvent& event) {
  const int qtKey = event.key();
  switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return console::kVkReturn;
    case Qt::Key_Escape: return console::kVkEscape;
    case Qt::Key_Up: return console::kVkUp;
    case Qt::Key_Down: return console::kVkDown;
    default: break;
  }
  if (const int digit = console::DigitRowVirtualKey(event.nativeScanCode())) return digit;
  // Digits (the keypad's, or where no keycode is known) and letters have their ASCII codes
  // in both.
  if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
    return qtKey;
  return 0;
}

QFrame* MakePanel(QWidget* parent, const QRect& geometry) {
  auto* panel = new QFrame(parent);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setGeometry(geometry);
  return panel;
}

template <class Button = QToolButton>
Button* MakeToolButton(QWidget* parent, int row, QStyle::StandardPixmap icon, const QString& text,
                       const QString& hint) {
  auto* button = new Button(parent);
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setGeometry(4, 4 + row * (kToolButtonHeight + 4), kToolButtonWidth, kToolButtonHeight);
  button->setIcon(parent->style()->standardIcon(icon));
  button->setIconSize(QSize(24, 24));
  button->setText(text);
  button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  button->setToolTip(hint);
  return button;
}

// Runs a dialog of the system menu; an error it throws is shown, not passed on.
void ShowingErrors(const std::function<void()>& dialog) {
  try {
    if (dialog) dialog();
  } catch (const std::exception& error) {
    winapi::ShowApplicationException(error.what(), console::kApplicationTitle);
  }
}

QFont FixedsysLike() {
  QFont font("DejaVu Sans Mono");
  font.setStyleHint(QFont::Monospace);
  font.setPixelSize(13);
  font.setBold(true);
  return font;
}

}  // namespace

TPanelStatusBar::TPanelStatusBar(QWidget* parent) : QStatusBar(parent) {
  setSizeGripEnabled(false);
  // Narrow enough for the caption to fit its 93-pixel panel.
  QFont font("DejaVu Sans Condensed");
  font.setPixelSize(10);
  setFont(font);
  static const int kWidths[2] = {93, 345};
  for (int i = 0; i < 2; ++i) {
    Panels[i] = new QLabel(this);
    Panels[i]->setFixedWidth(kWidths[i]);
    Panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panels[i]->setContentsMargins(0, 0, 0, 0);
    addWidget(Panels[i]);
  }
  Panels[0]->setText(" Current File Path : ");
}

TQZ_M_Form::TQZ_M_Form(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowContextHelpButtonHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(console::kApplicationTitle);
  setFixedSize(kClientWidth, kClientHeight);
  setFocusPolicy(Qt::StrongFocus);

  // Design leftovers with no role, covered by the front panel.
  Label2 = new QLabel("Label2", this);
  Label2->move(80, 20);
  Label3 = new QLabel("Label3", this);
  Label3->move(80, 40);

  CreateToolColumn();
  CreateFrontPanel();
  CreateMenuColumn();
  CreateConnectionDisplay();
  CreateSysPopupMenu();

  // The focus sink: below the visible client area, it takes the keys the menu list must not.
  ListBox1 = new QListWidget(this);
  ListBox1->setGeometry(8, 588, 40, 20);
  ListBox1->installEventFilter(this);

  NowFilePath = new TPanelStatusBar(this);
  NowFilePath->setGeometry(0, kClientHeight - kStatusBarHeight, kClientWidth, kStatusBarHeight);

  ConnectTimer = new QTimer(this);
  ConnectTimer->setInterval(kConnectInterval);
  connect(ConnectTimer, &QTimer::timeout, this, &TQZ_M_Form::ConnectTimerTimer);
  ZorvVicHw32.SetLPTNumber(0);
  ZorvVicHw32.SetIRQNumber(0);
  // The dialogs get what they change, not the form.
  PortDialogs.PortSetup = [this] {
    TPortSetupForm form(LptBase, LptBaseTable, HistoryIniPath);
    console::RunModal(form);
  };
  PortDialogs.Sensitive = [this] {
    TSensitiveForm form(*ConnectTimer);
    console::RunModal(form);
  };

  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TQZ_M_Form::CreateToolColumn() {
  Panel1 = MakePanel(this, QRect(2, 2, kToolButtonWidth + 10, kClientHeight - kStatusBarHeight - 4));
  Panel1->installEventFilter(this);
  SpeedButton1 = MakeToolButton(Panel1, 0, QStyle::SP_DialogOpenButton, "Load",
                                "Load file into Dump Edit");
  SpeedButton3 = MakeToolButton(Panel1, 1, QStyle::SP_DialogSaveButton, "Save", QString());
  SpeedButton4 = MakeToolButton(Panel1, 2, QStyle::SP_FileDialogDetailedView, "Edit",
                                "Open Dump Edit.");
  FlyOverMenuSpdBtn1 =
      MakeToolButton<TFlyOverMenuSpdBtn>(Panel1, 3, QStyle::SP_ComputerIcon, "System", QString());
  ExistSB = MakeToolButton(Panel1, 4, QStyle::SP_DialogCloseButton, "Exit", "Exit");
  SpeedButton5 = MakeToolButton(Panel1, 5, QStyle::SP_DriveHDIcon, "Tools", "tools");
  connect(SpeedButton1, &QToolButton::clicked, this, &TQZ_M_Form::LoadTB97Click);
  connect(SpeedButton3, &QToolButton::clicked, this, &TQZ_M_Form::SaveTB97Click);
  connect(SpeedButton4, &QToolButton::clicked, this, &TQZ_M_Form::ShowEditTB97Click);
  connect(ExistSB, &QToolButton::clicked, this, &TQZ_M_Form::ExistSBClick);
  connect(SpeedButton5, &QToolButton::clicked, this, &TQZ_M_Form::SpeedButton5Click);
}

void TQZ_M_Form::CreateFrontPanel() {
  int top = (kClientHeight - kStatusBarHeight - kFrontPanelHeight) / 2;
  LCDPanel = new QFrame(this);
  LCDPanel->setGeometry(Panel1->geometry().right() + 4, top, kFrontPanelWidth, kFrontPanelHeight);
  Image1 = new QLabel(LCDPanel);
  Image1->setPixmap(QPixmap::fromImage(MakeFrontPanelPicture()));
  Image1->setGeometry(0, 0, kFrontPanelWidth, kFrontPanelHeight);
  Image1->installEventFilter(this);

  LcdPainBox1 = new TLcdPainBox(LCDPanel);
  LcdPainBox1->setGeometry(kLcdPlace);
  LcdPainBox1->RED = kLcdBackground.red();
  LcdPainBox1->GREEN = kLcdBackground.green();
  LcdPainBox1->BLUE = kLcdBackground.blue();
  LcdPainBox1->SetDataPictur(MakeLcdGlyphSheet());
  LcdPainBox1->installEventFilter(this);
  CreateKeypad();
}

void TQZ_M_Form::CreateKeypad() {
  using Handler = void (TQZ_M_Form::*)();
  struct KeyButton {
    int code;
    QToolButton** button;
    Handler handler;
  };
  const KeyButton keys[] = {
      {0x10, &Num0SB, &TQZ_M_Form::K_0_B97Click},   {0x11, &Num_2SB, &TQZ_M_Form::K_1_B97Click},
      {0x12, &SpeedButton2, &TQZ_M_Form::K_2_B97Click}, {0x13, &NUM_3SB, &TQZ_M_Form::K_3_B97Click},
      {0x14, &NUM_4SB, &TQZ_M_Form::NUM_4SBClick},  {0x15, &NUM_5SB, &TQZ_M_Form::NUM_5SBClick},
      {0x16, &NUM_6SB, &TQZ_M_Form::NUM_6SBClick},  {0x17, &NUM_7SB, &TQZ_M_Form::NUM_7SBClick},
      {0x18, &NUM_8SB, &TQZ_M_Form::NUM_8SBClick},  {0x19, &NUM_9SB, &TQZ_M_Form::NUM_9SBClick},
      {0x1A, &NUM_ASB, &TQZ_M_Form::NUM_ASBClick},  {0x1B, &NUM_BSB, &TQZ_M_Form::NUM_BSBClick},
      {0x1C, &NUM_CSB, &TQZ_M_Form::NUM_CSBClick},  {0x1D, &NUM_DSB, &TQZ_M_Form::NUM_DSBClick},
      {0x1E, &NUM_ESB, &TQZ_M_Form::NUM_ESBClick},  {0x1F, &NUM_FSB, &TQZ_M_Form::NUM_FSBClick},
      {console::kEscKey, &ESCSB, &TQZ_M_Form::ESCSBClick},
      {console::kEnterKey, &ENTERSB, &TQZ_M_Form::ENTERSBClick},
  };
  for (const KeyCap& cap : FrontPanelKeyCaps()) {
    for (const KeyButton& key : keys) {
      if (key.code != cap.code) continue;
      auto* button = new QToolButton(LCDPanel);
      button->setGeometry(cap.rect);
      button->setCursor(Qt::PointingHandCursor);
      button->setFocusPolicy(Qt::NoFocus);
      button->setAccessibleName(cap.label);
      // Transparent over the drawn cap; a press darkens it a little.
      button->setStyleSheet(
          "QToolButton { background: transparent; border: none; }"
          "QToolButton:pressed { background: rgba(0, 0, 0, 60); border-radius: 6px; }");
      connect(button, &QToolButton::clicked, this, key.handler);
      *key.button = button;
    }
  }
}

void TQZ_M_Form::CreateMenuColumn() {
  int left = LCDPanel->geometry().right() + 5;
  Panel2 = MakePanel(this, QRect(left, 2, kClientWidth - left - 2, 336));
  Panel2->installEventFilter(this);
  MenuLabel = new QLabel("Menu Overview :", Panel2);
  MenuLabel->setFont(FixedsysLike());
  MenuLabel->setGeometry(6, 4, Panel2->width() - 12, 18);
  MenuListBox = new QListWidget(Panel2);
  MenuListBox->setFont(FixedsysLike());
  MenuListBox->setFocusPolicy(Qt::ClickFocus);
  MenuListBox->setUniformItemSizes(true);
  MenuListBox->setStyleSheet(
      "QListWidget { color: white; background: black; }"
      "QListWidget::item { height: 15px; }");
  // Whole items only: twenty rows of 15 pixels and the frame.
  MenuListBox->setGeometry(6, 26, Panel2->width() - 12, 20 * 15 + 2 * MenuListBox->frameWidth());
  MenuListBox->installEventFilter(this);
  MenuListBox->viewport()->installEventFilter(this);
}

void TQZ_M_Form::CreateConnectionDisplay() {
  int left = Panel2->x();
  int width = Panel2->width();
  Label1 = new QLabel("Watting Time :", this);
  Label1->setStyleSheet("color: navy;");
  Label1->setGeometry(left + 4, 344, width - 8, 18);
  ConnectPanel = new QLabel(console::kWaitingCaption, this);
  ConnectPanel->setAlignment(Qt::AlignCenter);
  ConnectPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  ConnectPanel->setAutoFillBackground(true);
  QPalette palette = ConnectPanel->palette();
  palette.setColor(QPalette::WindowText, Qt::white);
  ConnectPanel->setPalette(palette);
  PaintConnectPanel(console::kBlue);
  QFont times("Times New Roman");
  times.setStyleHint(QFont::Serif);
  times.setPixelSize(19);
  ConnectPanel->setFont(times);
  ConnectPanel->setGeometry(left, 366, width, 36);
  Panel3 = MakePanel(this, QRect(left, 408, width, 26));
  WaittingProgressBar = new TCGauge(Panel3);
  WaittingProgressBar->setGeometry(Panel3->contentsRect());
  WaittingProgressBar->setRange(0, console::kGaugeMaximum);
  WaittingProgressBar->SetProgress(50);
}

void TQZ_M_Form::CreateSysPopupMenu() {
  SysPopupMenu = new QMenu(this);
  ConnectPort1 = SysPopupMenu->addAction("&Connect Port Setup", this, &TQZ_M_Form::ConnectPort1Click);
  Connect1 = SysPopupMenu->addAction("Connect &Sensitive", this, &TQZ_M_Form::Connect1Click);
  N2 = SysPopupMenu->addSeparator();
  About1 = SysPopupMenu->addAction("&User's Guide", this, &TQZ_M_Form::About1Click);
  N1 = SysPopupMenu->addSeparator();
  About2 = SysPopupMenu->addAction("&About", this, &TQZ_M_Form::About2Click);
  Aboutsoftware1 = SysPopupMenu->addAction("&About software", this, &TQZ_M_Form::Aboutsoftware1Click);
  FlyOverMenuSpdBtn1->PopupMenu = SysPopupMenu;
}

bool TQZ_M_Form::FormCreate() {
  LogEnabled = 0;
  NoAnswerTime = 0;
  StartDirectory = winapi::CurrentDirectory();
  HistoryIniPath = console::HistoryIniPathIn(StartDirectory);
  buffer::SetSettingsPath(HistoryIniPath);
  console::DeleteFailureLog(StartDirectory);
  JedecSendMode = 0;
  if (ReadOemMode() == 0) ShowHeadForm(1);
  if (!ReadGangToolActive()) SpeedButton5->setVisible(false);
  if (!qzlink::OpenPortDriver()) return false;
  console::LcdTextBlock banner = console::StartupBanner();
  LcdPainBox1->SetText(banner);
  DetectLptPorts();
  if (std::optional<uint32_t> port = console::ReadDataPort(HistoryIniPath)) LptBase = *port;
  PendingKey = console::kNoKey;
  MenuSelection = console::kNoSelection;
  MenuListMode = console::ReadMenuListMode(HistoryIniPath) ? 1 : 0;
  ToPcFlag = 0;
  IdleTimer = new QTimer(this);
  IdleTimer->setInterval(kIdleInterval);
  connect(IdleTimer, &QTimer::timeout, this, &TQZ_M_Form::IdleTimerTimer);
  IdleTimer->start();
  IdleFlag = 0;
  qzlink::SetLinkErrorSink([this](const std::string& message) { LogLinkError(message); });
  // Only now: a box above (the driver warning, the splash) runs a nested loop, and a tick
  // there would poll a port the driver has not opened yet.
  ConnectTimer->start();
  return true;
}

TQZ_M_Form::~TQZ_M_Form() { qzlink::SetLinkErrorSink({}); }

int TQZ_M_Form::ReadOemMode() {
  int mode = console::ReadOemMode(StartDirectory);
  if (mode == 1) {
    SysPopupMenu->removeAction(About2);
    SysPopupMenu->removeAction(Aboutsoftware1);
  }
  return mode;
}

bool TQZ_M_Form::ReadGangToolActive() { return console::ReadGangToolActive(HistoryIniPath); }

void TQZ_M_Form::DetectLptPorts() { qzlink::DetectLptPorts(LptBaseTable, LptBase); }

void TQZ_M_Form::FormClose() {
  if (portio::DriverHandle != 0) portio::DriverClose(portio::DriverHandle);
  delete IdleTimer;
  IdleTimer = nullptr;
}

void TQZ_M_Form::StoreHexKey(int digit) { console::PressKey(*this, console::HexKeyCode(digit)); }
void TQZ_M_Form::K_0_B97Click() { StoreHexKey(0x0); }
void TQZ_M_Form::K_1_B97Click() { StoreHexKey(0x1); }
void TQZ_M_Form::K_2_B97Click() { StoreHexKey(0x2); }
void TQZ_M_Form::K_3_B97Click() { StoreHexKey(0x3); }
void TQZ_M_Form::NUM_4SBClick() { StoreHexKey(0x4); }
void TQZ_M_Form::NUM_5SBClick() { StoreHexKey(0x5); }
void TQZ_M_Form::NUM_6SBClick() { StoreHexKey(0x6); }
void TQZ_M_Form::NUM_7SBClick() { StoreHexKey(0x7); }
void TQZ_M_Form::NUM_8SBClick() { StoreHexKey(0x8); }
void TQZ_M_Form::NUM_9SBClick() { StoreHexKey(0x9); }
void TQZ_M_Form::NUM_ASBClick() { StoreHexKey(0xA); }
void TQZ_M_Form::NUM_BSBClick() { StoreHexKey(0xB); }
void TQZ_M_Form::NUM_CSBClick() { StoreHexKey(0xC); }
void TQZ_M_Form::NUM_DSBClick() { StoreHexKey(0xD); }
void TQZ_M_Form::NUM_ESBClick() { StoreHexKey(0xE); }
void TQZ_M_Form::NUM_FSBClick() { StoreHexKey(0xF); }
void TQZ_M_Form::ESCSBClick() { console::PressKey(*this, console::kEscKey); }
void TQZ_M_Form::ENTERSBClick() { console::PressEnterButton(*this); }

void TQZ_M_Form::PressKey(int32_t code) { console::PressKey(*this, code); }

void TQZ_M_Form::FormKeyDown(int virtualKey) {
  console::KeyDown(*this, virtualKey);
  // Every key ends here, so the menu list never moves by itself.
  ListBox1->setFocus();
}

void TQZ_M_Form::FormMouseDown(Qt::MouseButton button) {
  console::MouseDown(*this, button == Qt::RightButton);
  // A running timer is not restarted: the flag returns at most a second after the first press.
  if (IdleTimer != nullptr && !IdleTimer->isActive()) IdleTimer->start();
}

void TQZ_M_Form::MenuListBoxClick(int index) { console::MenuListClick(*this, index); }

void TQZ_M_Form::MenuListBoxDblClick(int index) { console::MenuListDoubleClick(*this, index); }

void TQZ_M_Form::RunPortDialog(const std::function<void()>& dialog) {
  ConnectTimer->stop();
  ShowingErrors(dialog);
  ConnectTimer->start();
}

void TQZ_M_Form::ConnectPort1Click() { RunPortDialog(PortDialogs.PortSetup); }
void TQZ_M_Form::Connect1Click() { RunPortDialog(PortDialogs.Sensitive); }

void TQZ_M_Form::About1Click() { OpenDocument(StartDirectory + "\\Help\\On-Line HELP.htm"); }

void TQZ_M_Form::About2Click() { ShowHeadForm(0); }

void TQZ_M_Form::Aboutsoftware1Click() { ShowingErrors(ShowAboutBox1); }

void TQZ_M_Form::LoadTB97Click() {
  if (DumpEdit.LoadFile) DumpEdit.LoadFile();
}

void TQZ_M_Form::SaveTB97Click() {
  if (DumpEdit.SaveFile) DumpEdit.SaveFile();
}

void TQZ_M_Form::ShowEditTB97Click() {
  if (DumpEdit.ShowEdit) DumpEdit.ShowEdit();
}

void TQZ_M_Form::ExistSBClick() { close(); }

void TQZ_M_Form::SpeedButton5Click() {
  winapi::MessageBox(nullptr, "\nPlease set GANG PROGRAMMER in AUTO FROM PC\n\n", "Attention",
                     winapi::MB_OK);
  if (GangTools != nullptr) GangTools->show();
}

bool TQZ_M_Form::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && (watched == MenuListBox || watched == ListBox1)) {
    FormKeyDown(VirtualKeyFor(*static_cast<QKeyEvent*>(event)));
    return true;
  }
  bool press = event->type() == QEvent::MouseButtonPress;
  bool doublePress = event->type() == QEvent::MouseButtonDblClick;
  if (!press && !doublePress && event->type() != QEvent::MouseButtonRelease) return false;
  auto* mouse = static_cast<QMouseEvent*>(event);
  if (watched == MenuListBox->viewport()) {
    int index = MenuListBox->indexAt(mouse->position().toPoint()).row();
    if (press || doublePress) FormMouseDown(mouse->button());
    // The right button only means ESC: it chooses no item.
    if (mouse->button() != Qt::LeftButton) return true;
    if (doublePress) MenuListBoxDblClick(index);
    if (event->type() == QEvent::MouseButtonRelease) MenuListBoxClick(index);
    return false;
  }
  if (watched == Panel1 || watched == Panel2 || watched == Image1 || watched == LcdPainBox1) {
    // A press a child control (a tool button, the menu title) did not take comes up here
    // too: only a press on the control itself counts.
    auto* place = static_cast<QWidget*>(watched);
    const bool own = place->childAt(mouse->position().toPoint()) == nullptr;
    if (own && (press || doublePress)) FormMouseDown(mouse->button());
    return true;
  }
  return false;
}

void TQZ_M_Form::keyPressEvent(QKeyEvent* event) { FormKeyDown(VirtualKeyFor(*event)); }

void TQZ_M_Form::mousePressEvent(QMouseEvent* event) {
  // Presses on the form's own background; its bound controls report theirs themselves.
  if (childAt(event->position().toPoint()) == nullptr) FormMouseDown(event->button());
}

void TQZ_M_Form::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
  // Closing the main form ends the program: the message loop stops here, whatever other
  // window is open, and no other window is asked first.
  QCoreApplication::exit(0);
}

bool OpenDocument(const std::string& path) {
  return QDesktopServices::openUrl(
      QUrl::fromLocalFile(QString::fromLocal8Bit(winapi::NativePath(path))));
}
