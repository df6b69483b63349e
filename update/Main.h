#pragma once
// QZ_UPDate's main window: an MDI frame that holds the port driver for the whole program,
// opens the Dump Edit children the update image is loaded into, shows the identity of the
// loaded image and of the connected programmer, and carries the Update menu.
#include <QMainWindow>
#include <array>
#include <cstdint>
#include <memory>

#include "update/core/UpdateImage.h"
#include "update/core/UpdateRun.h"

class QFrame;
class QLabel;
class QMdiArea;
class QMenu;

namespace buffer {
class TMainEdit;
}

namespace update {

inline constexpr const char* kApplicationTitle = "SYSTEM UPDATE";
inline constexpr const char* kDriverMissingText = "The driver TVicHW32 can not be found!";
// The message the frame posts itself to open its first Dump Edit child once the message loop
// runs (WM_USER + 1000).
inline constexpr int kOpenDumpEditMessage = 2024;
inline constexpr int kChildWidth = 617;
inline constexpr int kChildHeight = 236;
inline constexpr uint32_t kChildBufferSize = 0x30000;

// Whether the port driver worked at start-up; kept for the whole run.
extern uint32_t DriverActive;

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  // Builds the frame and runs FormCreate.
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  void FormCreate();
  void FormClose();
  void OpenDumpEditChild();
  buffer::TMainEdit* CreateDumpEditChild(const QString& caption);
  // The active child, or nullptr when none is open.
  buffer::TMainEdit* ActiveDumpEdit() const;

  void Load1Click();
  void Exit1Click();
  void Menu_Update1Click();
  // The load behind File > Load and the child's Load button, once its dialog answered OK: the
  // file through the update tool's dispatcher, the information page, then the image check
  // with its labels; a rejected image is wiped from the buffer.
  void LoadUpdateImage(buffer::TMainEdit& edit);
  // The loaded image's format identifier and model, or the texts of a rejected image.
  void ShowFileLabels(const FileLabels& labels);

  // The connected programmer's identity, all 0 until read.
  std::array<char, 20> DeviceFormatId{};
  std::array<char, 20> DeviceModel{};

  QMdiArea* MdiArea;
  QLabel* FileIDLabel;
  QLabel* FileModelLabel;
  QFrame* DevicePanel;
  QLabel* DeviceIDLabel;
  QLabel* DeviceModelLabel;
  QAction* Load1;
  QAction* Exit1;
  QMenu* Window1;
  QAction* MinimizeAll1;
  QAction* Menu_Update1;

 protected:
  // The message dispatcher: the posted message opens the first child.
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateMenus();
  void CreateInfoPanel();
  void ListChildrenInWindowMenu();
  void InstallTools();

  std::unique_ptr<UpdateSurface> surface_;
  std::unique_ptr<UpdateRun> run_;
};

// The frame, and the run's init and update forms while they exist, for the whole program.
extern TMainForm* MainForm;
extern QWidget* InitForm;
extern QWidget* UpDateForm;

}  // namespace update
