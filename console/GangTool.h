#pragma once
// GANG TOOLS: runs a queue of data files through the programmer, one job at a time. The user
// picks files from a folder into the job queue; Start loads the first into the buffer and
// presses ENTER on the programmer, which fetches the buffer and reports its result, shown in a
// result row. The queue, the jobs, the time-out and the report live in console/core; the form
// shows them and passes its events on.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "console/core/GangJobs.h"
#include "console/core/GangQueue.h"
#include "platform/winapi/qt/CGauge.h"

class TGangTools : public QWidget {
  Q_OBJECT

 public:
  explicit TGangTools(QWidget* parent = nullptr);
  ~TGangTools() override;

  // Ends the running job with the programmer's result: 1 passed, -1 failed, 0 no verdict.
  void SetJobResult(int result);
  // The time-out in milliseconds.
  uint32_t JobTimeOutMs() const;

  void GangToolDriveComboBox1Change();
  void GangToolDirectoryListBox1Change();
  void GangToolFilterComboBox1Change();
  void GangToolSelectButtonClick();
  void BitBtn4Click();
  void GangToolCheckBox1Click();
  void GangToolDelButtonClick();
  void GangToolDelAllButtonClick();
  void GangToolStartButtonClick();
  void GangToolReDoButtonClick();
  void BitBtn2Click();
  void TimeOutCtrlChange();
  void GangToolTimeOutTimerTimer();
  void TestTimerTimer();

  // The folder the file list shows; the directory list and the drive box follow it.
  void SetDirectory(const std::string& folder);
  const std::string& Directory() const { return directory_; }
  const console::JobQueue& Queue() const { return queue_; }
  const std::vector<console::ResultRow>& ResultRows() const { return jobs_->rows(); }

  // Components, by the names the handlers use.
  QComboBox* GangToolDriveComboBox1;
  QListWidget* GangToolDirectoryListBox1;
  QComboBox* GangToolFilterComboBox1;
  QListWidget* GangToolFileListBox1;
  QLabel* JobQueryLabel;
  QListWidget* GangToolListBox1;
  QCheckBox* GangToolCheckBox1;
  QPushButton* GangToolSelectButton;
  QPushButton* BitBtn4;
  QPushButton* GangToolDelButton;
  QPushButton* GangToolDelAllButton;
  QPushButton* GangToolStartButton;
  QPushButton* GangToolReDoButton;
  QPushButton* BitBtn2;
  QTreeWidget* ResultListView;
  TCGauge* GangToolTimeOutBar;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLineEdit* TimeOutCtrl;
  QCheckBox* test;
  QTimer* GangToolTimeOutTimer;
  QTimer* TestTimer;
  // The save-file dialog of Store: the name chosen, empty when cancelled.
  std::function<QString()> GangToolSaveResoult;

 private:
  QWidget* BuildPage();
  QPushButton* MakeButton(const char* caption, const char* hint, void (TGangTools::*handler)());
  void FillDriveBox();
  void FillDirectoryList();
  void FillFileList();
  // Queues the file list's rows that still are files; a name that is not UTF-8 gets a box.
  void AddToQueue(const std::vector<size_t>& rows);
  void ShowQueue();
  // Brings rows, buttons, timer and bar in line with the jobs.
  void ShowJobs();

  std::string directory_;
  std::string mask_ = "*.*";
  console::JobQueue queue_;
  std::unique_ptr<console::GangJobSite> site_;
  std::unique_ptr<console::GangJobs> jobs_;
};

// The GANG TOOLS form, reachable program-wide once the entry has created it.
extern TGangTools* GangTools;
