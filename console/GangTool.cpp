#include "console/GangTool.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLocale>
#include <QStorageInfo>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <numeric>

#include "buffer/DialogPlacement.h"
#include "buffer/DumpEdit.h"
#include "buffer/LoadDispatcher.h"
#include "buffer/core/Messages.h"
#include "buffer/core/SettingsPath.h"
#include "console/Qz_M_Unit.h"
#include "console/core/ConnectionDisplay.h"
#include "platform/winapi/Clock.h"
#include "platform/winapi/MessageBox.h"
#include "platform/winapi/Paths.h"
#include "platform/winapi/qt/FileNames.h"
#include "platform/winapi/qt/SelectOnFocus.h"

TGangTools* GangTools = nullptr;

namespace {

constexpr int kTimeOutInterval = 1000;
constexpr int kTestInterval = 3000;
constexpr int kFileNameColumnWidth = 330;
constexpr int kCheckSumColumnWidth = 90;
constexpr int kStatusColumnWidth = 90;
// The room the drive box asks for, in characters; a longer mount point is cut.
constexpr int kDriveRoom = 24;
// The bytes of a folder's path, or of a file's name: a name that is not UTF-8 is listed with
// U+FFFD in it, and its text no longer names it.
constexpr int kNameBytes = Qt::UserRole;

// A name that is not UTF-8 could be queued by its bytes, but the queue, the results and the
// report would all name another file.
constexpr buffer::Message kNameNotText{"Cannot queue \"%s\": its name is not UTF-8 text, so the lists and the report could not name it.",
                                       "ERROR", winapi::MB_ICONERROR};

// What GANG TOOLS shows is file and folder names, and the program's own ASCII words.
QString FromStd(const std::string& text) { return winapi::ShownName(text); }
std::string ToStd(const QString& text) { return winapi::NameBytes(text); }
std::string BytesOf(const QListWidgetItem* item) { return item->data(kNameBytes).toByteArray().toStdString(); }

// The program around the jobs: the Dump Edit's buffer and load road, the main form's keys,
// link state and connection panel.
class FormJobSite : public console::GangJobSite {
 public:
  bool MayStartJob() override { return QZ_M_Form != nullptr && console::MayStartJob(*QZ_M_Form); }
  uint32_t JobGeneration() const override { return QZ_M_Form != nullptr ? QZ_M_Form->JobGeneration : 0; }

  bool LoadFile() override {
    buffer::TMainEdit* edit = buffer::MainEditForm();
    bool placed = false;
    std::int32_t size = 0;
    formats::FileImage image;
    if (edit != nullptr && buffer::ReadBinaryFile(*edit, size, image) == 1) {
      // The load road takes the image over and frees it, whatever the outcome.
      placed = buffer::LoadFileToBuffer(*edit, std::move(image), size, 0, 0) == 1;
    }
    if (QZ_M_Form != nullptr) QZ_M_Form->JedecSendMode = 0;
    return placed;
  }

  uint32_t ShowBufferInfo() override {
    buffer::TMainEdit* edit = buffer::MainEditForm();
    edit->ShowBufferInfo();
    return edit->Fields().LastSum;
  }

  void PressEnter() override {
    if (QZ_M_Form != nullptr) QZ_M_Form->PressKey(console::kEnterKey);
  }

  bool LinkConnected() const override {
    return QZ_M_Form != nullptr && QZ_M_Form->ConnectPanel->text() == console::kConnectingCaption;
  }
};

// The file-system roots a user picks from: / and every mounted volume, / first.
std::vector<std::string> DriveRoots() {
  std::vector<std::string> roots{"/"};
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady()) continue;
    const std::string root = ToStd(volume.rootPath());
    if (std::find(roots.begin(), roots.end(), root) == roots.end()) roots.push_back(root);
  }
  std::sort(roots.begin() + 1, roots.end(), [](const std::string& a, const std::string& b) {
    return console::NameLess(a, b);
  });
  return roots;
}

// The root a folder lies on: the longest root that is the folder or one of its parents.
size_t RootIndexOf(const std::vector<std::string>& roots, const std::string& folder) {
  size_t best = 0;
  for (size_t i = 1; i < roots.size(); ++i) {
    const std::string& root = roots[i];
    const bool within = folder == root || (folder.rfind(root + "/", 0) == 0);
    if (within && root.size() > roots[best].size()) best = i;
  }
  return best;
}

std::vector<size_t> SelectedRows(const QListWidget& list) {
  std::vector<size_t> rows;
  for (int i = 0; i < list.count(); ++i)
    if (list.item(i)->isSelected()) rows.push_back(static_cast<size_t>(i));
  return rows;
}

QString ShortDate() {
  const QDateTime now = QDateTime::fromSecsSinceEpoch(winapi::CurrentClock().Seconds());
  return QLocale::system().toString(now.date(), QLocale::ShortFormat);
}

}  // namespace

TGangTools::TGangTools(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      site_(std::make_unique<FormJobSite>()),
      jobs_(std::make_unique<console::GangJobs>(*site_)) {
  setWindowTitle("GANG TOOLS");
  auto* pages = new QTabWidget(this);
  pages->addTab(BuildPage(), "Sequential Mode");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  GangToolTimeOutTimer = new QTimer(this);
  GangToolTimeOutTimer->setInterval(kTimeOutInterval);
  connect(GangToolTimeOutTimer, &QTimer::timeout, this, &TGangTools::GangToolTimeOutTimerTimer);
  TestTimer = new QTimer(this);
  TestTimer->setInterval(kTestInterval);
  connect(TestTimer, &QTimer::timeout, this, &TGangTools::TestTimerTimer);
  TestTimer->start();

  GangToolSaveResoult = [this] { return QFileDialog::getSaveFileName(this); };
  FillDriveBox();
  SetDirectory(winapi::CurrentDirectory());
  adjustSize();
  buffer::CentreOnDesktop(this);
}

TGangTools::~TGangTools() = default;

QPushButton* TGangTools::MakeButton(const char* caption, const char* hint, void (TGangTools::*handler)()) {
  auto* button = new QPushButton(caption);
  button->setToolTip(hint);
  connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
  return button;
}

QWidget* TGangTools::BuildPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);

  GangToolDriveComboBox1 = new QComboBox;
  GangToolDirectoryListBox1 = new QListWidget;
  GangToolFilterComboBox1 = new QComboBox;
  for (const console::FilterEntry& entry : console::ParseFilter(console::kGangToolFilter))
    GangToolFilterComboBox1->addItem(FromStd(entry.description), FromStd(entry.mask));
  GangToolFileListBox1 = new QListWidget;
  GangToolFileListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
  auto* picking = new QVBoxLayout;
  for (QWidget* widget : std::initializer_list<QWidget*>{GangToolDriveComboBox1, GangToolDirectoryListBox1,
                                                         GangToolFilterComboBox1, GangToolFileListBox1})
    picking->addWidget(widget);
  winapi::FitNames(GangToolDriveComboBox1, kDriveRoom);
  for (QListWidget* list : {GangToolDirectoryListBox1, GangToolFileListBox1}) winapi::FitNames(list);
  grid->addLayout(picking, 0, 0);

  GangToolSelectButton = MakeButton("Select", "Select items into Job Query", &TGangTools::GangToolSelectButtonClick);
  BitBtn4 = MakeButton("Select All", "Select ALL item into Job Query", &TGangTools::BitBtn4Click);
  GangToolDelButton = MakeButton("Delete", "Delete items in Job Query", &TGangTools::GangToolDelButtonClick);
  GangToolDelAllButton = MakeButton("Delete All", "Delect ALL items in Job Query", &TGangTools::GangToolDelAllButtonClick);
  GangToolStartButton = MakeButton("Start", "Start Program", &TGangTools::GangToolStartButtonClick);
  GangToolReDoButton = MakeButton("ReDo", "Re Program", &TGangTools::GangToolReDoButtonClick);
  BitBtn2 = MakeButton("Store", "Store Result", &TGangTools::BitBtn2Click);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {GangToolSelectButton, BitBtn4, GangToolDelButton, GangToolDelAllButton})
    buttons->addWidget(button);
  buttons->addStretch();
  for (QPushButton* button : {GangToolStartButton, GangToolReDoButton, BitBtn2}) buttons->addWidget(button);
  grid->addLayout(buttons, 0, 1);

  JobQueryLabel = new QLabel("Job Query");
  GangToolListBox1 = new QListWidget;
  GangToolListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
  winapi::FitNames(GangToolListBox1);
  GangToolCheckBox1 = new QCheckBox("Sorting");
  GangToolCheckBox1->setChecked(true);
  auto* queue = new QVBoxLayout;
  queue->addWidget(JobQueryLabel);
  queue->addWidget(GangToolListBox1);
  queue->addWidget(GangToolCheckBox1);
  grid->addLayout(queue, 0, 2);

  ResultListView = new QTreeWidget;
  ResultListView->setRootIsDecorated(false);
  ResultListView->setHeaderLabels({"File Name", "Check Sum", "Status"});
  winapi::FitNames(ResultListView);
  ResultListView->setColumnWidth(0, kFileNameColumnWidth);
  ResultListView->setColumnWidth(1, kCheckSumColumnWidth);
  ResultListView->setColumnWidth(2, kStatusColumnWidth);
  ResultListView->setMinimumWidth(kFileNameColumnWidth + kCheckSumColumnWidth + kStatusColumnWidth + 24);
  grid->addWidget(ResultListView, 1, 0, 1, 3);

  Label1 = new QLabel("Process time consume");
  GangToolTimeOutBar = new TCGauge;
  GangToolTimeOutBar->setRange(0, console::kTimeOutBarMaximum);
  GangToolTimeOutBar->SetForeColor(console::kTeal);
  auto* bar = new QHBoxLayout;
  bar->addWidget(Label1);
  bar->addWidget(GangToolTimeOutBar, 1);
  grid->addLayout(bar, 2, 0, 1, 3);

  Label2 = new QLabel("Time out limation");
  TimeOutCtrl = new QLineEdit(console::kDefaultTimeOutText);
  TimeOutCtrl->setMaximumWidth(60);
  winapi::SelectAllOnFocus(TimeOutCtrl);
  Label3 = new QLabel("Seconds");
  test = new QCheckBox("test");
  auto* limit = new QHBoxLayout;
  limit->addWidget(Label2);
  limit->addWidget(TimeOutCtrl);
  limit->addWidget(Label3);
  limit->addStretch();
  limit->addWidget(test);
  grid->addLayout(limit, 3, 0, 1, 3);

  connect(GangToolDriveComboBox1, &QComboBox::activated, this, [this] { GangToolDriveComboBox1Change(); });
  connect(GangToolDirectoryListBox1, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    SetDirectory(BytesOf(item));
  });
  connect(GangToolFilterComboBox1, &QComboBox::currentIndexChanged, this, [this] { GangToolFilterComboBox1Change(); });
  // Checked by a click or from code alike: the queue follows the box either way.
  connect(GangToolCheckBox1, &QCheckBox::toggled, this, [this] { GangToolCheckBox1Click(); });
  connect(TimeOutCtrl, &QLineEdit::textChanged, this, [this] { TimeOutCtrlChange(); });
  return page;
}

// ---- picking files ----

void TGangTools::FillDriveBox() {
  GangToolDriveComboBox1->clear();
  for (const std::string& root : DriveRoots()) GangToolDriveComboBox1->addItem(FromStd(root));
}

void TGangTools::GangToolDriveComboBox1Change() { SetDirectory(ToStd(GangToolDriveComboBox1->currentText())); }

void TGangTools::SetDirectory(const std::string& folder) {
  // A path that is not UTF-8 comes from the folder list, already clean; its text would lose it.
  directory_ = winapi::NameReadsBack(folder) ? ToStd(QDir::cleanPath(FromStd(folder))) : folder;
  std::vector<std::string> roots;
  for (int i = 0; i < GangToolDriveComboBox1->count(); ++i) roots.push_back(ToStd(GangToolDriveComboBox1->itemText(i)));
  if (!roots.empty()) {
    const QSignalBlocker quiet(GangToolDriveComboBox1);
    GangToolDriveComboBox1->setCurrentIndex(static_cast<int>(RootIndexOf(roots, directory_)));
  }
  FillDirectoryList();
  GangToolDirectoryListBox1Change();
}

// The folder's parents from the root down, the folder itself, then its subfolders, each
// level indented one step more.
void TGangTools::FillDirectoryList() {
  GangToolDirectoryListBox1->clear();
  auto add = [this](const std::string& name, const std::string& target, int depth) {
    auto* item = new QListWidgetItem(QString(depth * 2, ' ') + FromStd(name), GangToolDirectoryListBox1);
    item->setData(kNameBytes, QByteArray::fromStdString(target));
    return item;
  };
  auto within = [](const std::string& folder, const std::string& name) {
    return folder == "/" ? folder + name : folder + "/" + name;
  };
  QListWidgetItem* current = add("/", "/", 0);
  std::string path = "/";
  int depth = 1;
  for (const QByteArray& part : QByteArray::fromStdString(directory_).split('/')) {
    if (part.isEmpty()) continue;
    path = within(path, part.toStdString());
    current = add(part.toStdString(), path, depth++);
  }
  GangToolDirectoryListBox1->setCurrentItem(current);
  for (const std::string& sub : console::ListSubfolders(directory_)) add(sub, within(path, sub), depth);
}

void TGangTools::GangToolDirectoryListBox1Change() { FillFileList(); }

void TGangTools::GangToolFilterComboBox1Change() {
  mask_ = ToStd(GangToolFilterComboBox1->currentData().toString());
  FillFileList();
}

void TGangTools::FillFileList() {
  GangToolFileListBox1->clear();
  for (const std::string& name : console::ListMatchingFiles(directory_, mask_))
    (new QListWidgetItem(FromStd(name), GangToolFileListBox1))->setData(kNameBytes, QByteArray::fromStdString(name));
}

void TGangTools::AddToQueue(const std::vector<size_t>& rows) {
  std::vector<std::string> names;
  for (size_t row : rows) {
    const std::string name = BytesOf(GangToolFileListBox1->item(static_cast<int>(row)));
    const std::string path = directory_ + (directory_ == "/" ? "" : "/") + name;
    if (!winapi::NameReadsBack(name)) {
      buffer::ShowMessage(kNameNotText, path);
    } else if (winapi::NativePath(path) != path) {
      // The program reads '\\' in a path as a folder: the file would not be found again.
      winapi::MessageBox(nullptr, console::UnstorableNameText(path), console::kWrongCaption, winapi::MB_OK);
    } else {
      names.push_back(name);
    }
  }
  queue_.Add(console::ExistingFiles(directory_, names));
  ShowQueue();
}

void TGangTools::GangToolSelectButtonClick() { AddToQueue(SelectedRows(*GangToolFileListBox1)); }

void TGangTools::BitBtn4Click() {
  std::vector<size_t> rows(static_cast<size_t>(GangToolFileListBox1->count()));
  std::iota(rows.begin(), rows.end(), size_t{0});
  AddToQueue(rows);
}

void TGangTools::GangToolCheckBox1Click() {
  queue_.SetSorting(GangToolCheckBox1->isChecked());
  ShowQueue();
}

void TGangTools::GangToolDelButtonClick() {
  queue_.Remove(SelectedRows(*GangToolListBox1));
  ShowQueue();
}

void TGangTools::GangToolDelAllButtonClick() {
  queue_.Clear();
  ShowQueue();
}

void TGangTools::ShowQueue() {
  QStringList names;
  for (const console::QueuedFile& file : queue_.items()) names.push_back(FromStd(file.name));
  GangToolListBox1->clear();
  GangToolListBox1->addItems(names);
}

// ---- jobs ----

void TGangTools::GangToolStartButtonClick() {
  jobs_->Start(queue_, buffer::SettingsPath());
  ShowQueue();
  ShowJobs();
}

void TGangTools::GangToolReDoButtonClick() {
  jobs_->ReDo();
  ShowJobs();
}

void TGangTools::SetJobResult(int result) {
  jobs_->SetJobResult(result);
  ShowJobs();
}

uint32_t TGangTools::JobTimeOutMs() const { return console::JobTimeOutMs(ToStd(TimeOutCtrl->text())); }

void TGangTools::GangToolTimeOutTimerTimer() {
  GangToolTimeOutTimer->stop();
  jobs_->TimeOutTick(static_cast<uint32_t>(GangToolTimeOutTimer->interval()), ToStd(TimeOutCtrl->text()));
  ShowJobs();
}

void TGangTools::TestTimerTimer() {
  TestTimer->stop();
  const bool modalOpen = QApplication::activeModalWidget() != nullptr;
  if (jobs_->TestRound(test->isChecked(), modalOpen, queue_, buffer::SettingsPath())) ShowQueue();
  ShowJobs();
  TestTimer->start();
}

void TGangTools::TimeOutCtrlChange() {
  if (std::optional<std::string> replacement = console::CheckTimeOutEntry(ToStd(TimeOutCtrl->text())))
    TimeOutCtrl->setText(FromStd(*replacement));
}

void TGangTools::ShowJobs() {
  const std::vector<console::ResultRow>& rows = jobs_->rows();
  for (int i = ResultListView->topLevelItemCount(); i < static_cast<int>(rows.size()); ++i)
    new QTreeWidgetItem(ResultListView, QStringList{FromStd(rows[i].fileName), FromStd(rows[i].checkSum), ""});
  if (!rows.empty()) {
    // Only the last row's status ever changes.
    QTreeWidgetItem* last = ResultListView->topLevelItem(static_cast<int>(rows.size()) - 1);
    last->setText(2, FromStd(rows.back().status));
    ResultListView->scrollToItem(last);
  }
  const bool idle = !jobs_->running();
  for (QPushButton* button : {GangToolStartButton, GangToolDelButton, GangToolDelAllButton, GangToolReDoButton})
    button->setEnabled(idle);
  if (!jobs_->timerEnabled()) {
    GangToolTimeOutTimer->stop();
  } else if (!GangToolTimeOutTimer->isActive()) {
    GangToolTimeOutTimer->start();
  }
  GangToolTimeOutBar->SetProgress(jobs_->bar().progress);
  GangToolTimeOutBar->SetForeColor(jobs_->bar().colour);
}

// ---- report ----

void TGangTools::BitBtn2Click() {
  const QString name = GangToolSaveResoult();
  if (name.isEmpty()) return;
  if (std::optional<std::string> error = console::WriteReport(ToStd(name), jobs_->rows(), ToStd(ShortDate())))
    winapi::MessageBox(nullptr, *error, "Store Result", winapi::MB_OK);
}
