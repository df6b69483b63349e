#include "update/Main.h"

#include <QCloseEvent>
#include <algorithm>
#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QVBoxLayout>

#include "buffer/DumpEdit.h"
#include "buffer/core/SettingsPath.h"
#include "link/PortStartup.h"
#include "platform/portio/PortDriver.h"
#include "platform/winapi/Paths.h"
#include "update/FrameSurface.h"
#include "update/UpdateTools.h"
#include "update/core/ImageLoad.h"
#include "update/core/UpdateImage.h"

namespace update {

uint32_t DriverActive = 0;
TMainForm* MainForm = nullptr;
QWidget* InitForm = nullptr;
QWidget* UpDateForm = nullptr;

namespace {

constexpr int kFrameWidth = 625;
constexpr int kFrameHeight = 471;
constexpr int kInfoPanelHeight = 67;
constexpr qzlink::DriverStartup kUpdateDriverStartup{kDriverMissingText, true, true};

QLabel* RedLabel(const char* text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setStyleSheet("color: red;");
  return label;
}

QFrame* LoweredPanel(QWidget* parent, QLabel* first, QLabel* second) {
  auto* panel = new QFrame(parent);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(6, 2, 6, 2);
  first->setParent(panel);
  second->setParent(panel);
  layout->addWidget(first);
  layout->addWidget(second);
  return panel;
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
  setObjectName("MainForm");
  setWindowTitle("System Update ");
  resize(kFrameWidth, kFrameHeight);
  MdiArea = new QMdiArea(this);
  MdiArea->setBackground(palette().dark());
  CreateMenus();
  CreateInfoPanel();
  surface_ = std::make_unique<FrameSurface>(*this);
  run_ = std::make_unique<UpdateRun>(*surface_, DeviceFormatId, DeviceModel);
  InstallTools();
  FormCreate();
}

TMainForm::~TMainForm() { RemoveUpdateTools(); }

void TMainForm::InstallTools() {
  InstallUpdateTools([this](buffer::TMainEdit& edit) { LoadUpdateImage(edit); });
}

void TMainForm::LoadUpdateImage(buffer::TMainEdit& edit) {
  const bool loaded = LoadImageFile(edit.Core(), &edit);
  edit.RefreshGrids();
  if (!loaded) return;
  edit.ShowBufferInfo();
  FileLabels labels;
  const bool accepted = CheckUpdateImage(edit.Core(), &edit, labels);
  ShowFileLabels(labels);
  if (accepted) return;
  edit.FillBuffer(0xFF);
  edit.RefreshGrids();
}

void TMainForm::ShowFileLabels(const FileLabels& labels) {
  FileIDLabel->setText(QString::fromLatin1(labels.formatId.c_str()));
  FileModelLabel->setText(QString::fromLatin1(labels.model.c_str()));
}

void TMainForm::CreateMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  Load1 = file->addAction("Load", this, &TMainForm::Load1Click);
  file->addSeparator();
  Exit1 = file->addAction("Exit", this, &TMainForm::Exit1Click);
  Window1 = menuBar()->addMenu("&Window");
  connect(Window1, &QMenu::aboutToShow, this, &TMainForm::ListChildrenInWindowMenu);
  ListChildrenInWindowMenu();
  Menu_Update1 = menuBar()->addAction("Update", this, &TMainForm::Menu_Update1Click);
}

// "&Minimize All", then the open children, the current one checked.
void TMainForm::ListChildrenInWindowMenu() {
  Window1->clear();
  MinimizeAll1 = Window1->addAction("&Minimize All", this, [this] {
    for (QMdiSubWindow* child : MdiArea->subWindowList()) child->showMinimized();
  });
  const QList<QMdiSubWindow*> children = MdiArea->subWindowList();
  if (!children.isEmpty()) Window1->addSeparator();
  for (int i = 0; i < children.size(); ++i) {
    QMdiSubWindow* child = children[i];
    QAction* item = Window1->addAction(QString("&%1 %2").arg(i + 1).arg(child->windowTitle()));
    item->setCheckable(true);
    item->setChecked(child == MdiArea->currentSubWindow());
    connect(item, &QAction::triggered, MdiArea, [this, child] { MdiArea->setActiveSubWindow(child); });
  }
}

void TMainForm::CreateInfoPanel() {
  auto* info = new QFrame(this);
  info->setFrameStyle(QFrame::Box | QFrame::Plain);
  info->setFixedHeight(kInfoPanelHeight);
  FileIDLabel = RedLabel("File Format ID : NONE", info);
  FileModelLabel = RedLabel("File Model : NONE", info);
  DeviceIDLabel = RedLabel("Device format ID : NONE", info);
  DeviceModelLabel = RedLabel("Device Model : NONE", info);
  auto* layout = new QHBoxLayout(info);
  layout->setContentsMargins(3, 3, 3, 3);
  layout->addWidget(LoweredPanel(info, FileIDLabel, FileModelLabel));
  DevicePanel = LoweredPanel(info, DeviceIDLabel, DeviceModelLabel);
  DevicePanel->setObjectName("DevicePanel");
  layout->addWidget(DevicePanel);
  // The children above, the information panel along the bottom of the frame.
  auto* bottom = new QWidget(this);
  auto* column = new QVBoxLayout(bottom);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(MdiArea);
  column->addWidget(info);
  setCentralWidget(bottom);
}

void TMainForm::FormCreate() {
  DeviceFormatId.fill(0);
  DeviceModel.fill(0);
  // The dialogs' settings file, by its bare name: in the start directory.
  buffer::SetSettingsPath(buffer::SettingsFileIn(winapi::CurrentDirectory(),
                                                 buffer::UpdateToolProfile().settingsFileName));
  DriverActive = qzlink::OpenPortDriver(kUpdateDriverStartup) ? 1 : 0;
  QCoreApplication::postEvent(this, new QEvent(QEvent::Type(kOpenDumpEditMessage)));
}

bool TMainForm::event(QEvent* event) {
  if (event->type() != QEvent::Type(kOpenDumpEditMessage)) return QMainWindow::event(event);
  OpenDumpEditChild();
  return true;
}

void TMainForm::OpenDumpEditChild() {
  CreateDumpEditChild(QString("Dump Edit-%1").arg(MdiArea->subWindowList().size() + 1));
}

buffer::TMainEdit* TMainForm::CreateDumpEditChild(const QString& caption) {
  auto* edit = new buffer::TMainEdit(buffer::UpdateToolProfile());
  edit->setWindowTitle(caption);
  QMdiSubWindow* child = MdiArea->addSubWindow(edit);
  // The form's grids need more room than their old 617 x 236 in this toolkit's fonts; the
  // child and the frame grow so that the whole form shows.
  edit->adjustSize();
  child->resize(QSize(kChildWidth, kChildHeight).expandedTo(child->sizeHint()));
  const QSize room = MdiArea->viewport()->size();
  if (room.width() < child->width() || room.height() < child->height())
    resize(size() + child->size().expandedTo(room) - room);
  edit->ResizeBuffer(kChildBufferSize);
  child->show();
  // Placed in the area as it was before the frame grew, it may start left of or above it.
  child->move(std::max(child->x(), 0), std::max(child->y(), 0));
  return edit;
}

buffer::TMainEdit* TMainForm::ActiveDumpEdit() const {
  QMdiSubWindow* child = MdiArea->currentSubWindow();
  return child ? qobject_cast<buffer::TMainEdit*>(child->widget()) : nullptr;
}

void TMainForm::Load1Click() {
  if (buffer::TMainEdit* edit = ActiveDumpEdit()) edit->LoadFileBClick();
}

void TMainForm::Exit1Click() { close(); }

void TMainForm::Menu_Update1Click() { run_->Menu_Update1Click(); }

void TMainForm::FormClose() {
  if (portio::DriverHandle != 0) portio::DriverClose(portio::DriverHandle);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  // The children go first, each with its own close question; one that stays keeps the frame.
  MdiArea->closeAllSubWindows();
  if (!MdiArea->subWindowList().isEmpty()) {
    event->ignore();
    return;
  }
  FormClose();
  event->accept();
}

}  // namespace update
