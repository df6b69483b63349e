#pragma once
// The Dump Edit form: owner of the data buffer, its two grid pages with their tool buttons,
// and the accessors the rest of the program uses on the buffer. One instance lives for the
// whole run of the console; closing it only hides it.
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "buffer/BufferInfoPages.h"
#include "buffer/DumpGrid.h"
#include "buffer/core/DumpEditCore.h"

class QDialog;
class QHBoxLayout;
class QScrollBar;
class QTabWidget;
class QToolButton;

namespace buffer {

// The commands behind the tool buttons. Each may have a modal dialog (shown, then freed)
// and an action; the later dialogs and operations install themselves here.
enum class ToolCommand { Load, Save, GetSum, Fill, Block, Search, SearchNext, ByteSwap, WordSwap,
                         DWordSwap };
inline constexpr int kToolCommandCount = 10;

class TMainEdit;
using DialogFactory = std::function<std::unique_ptr<QDialog>(TMainEdit& form)>;
using ToolAction = std::function<void(TMainEdit& form)>;
// Process-wide: one program runs one set of dialogs.
void InstallToolDialog(ToolCommand command, DialogFactory factory);
void InstallToolAction(ToolCommand command, ToolAction action);

// The application's box for an error that the Load, Save, Get Check Sum or Fill command
// raised; each program installs its own. Without one such an error passes on.
using CommandErrorBox = std::function<void(const std::string& message)>;
void SetCommandErrorBox(CommandErrorBox box);

class TMainEdit : public QWidget {
  Q_OBJECT

 public:
  explicit TMainEdit(const EditProfile& profile = ConsoleProfile(), QWidget* parent = nullptr);
  ~TMainEdit() override;

  // Shows the form, or brings it to the front when it is shown already.
  void ShowForm();
  // Where the note "    Data are changed!!" goes when a close finds changed data (the
  // console appends it to its file-name panel).
  void SetChangedDataReporter(std::function<void(const std::string& note)> reporter);

  // ---- accessors other subsystems use ----
  std::int32_t GetBufferHandle() const { return core_.buffer().Handle(); }
  void QueryBufferHandle(std::int32_t& handle) const { handle = GetBufferHandle(); }
  void QueryBufferSize(std::int32_t& size) const { size = core_.buffer().BufSize(); }
  void QueryTopRow(std::int32_t& row) const { row = core_.view().TopRow(); }
  void QueryPageNo(std::int32_t& page) const { page = core_.view().PageNo(); }
  void SetFileSize(std::int32_t size) { core_.fields().FileSize = size; }
  void SetFileStartAdd(std::int32_t address) { core_.fields().FileStartAdd = address; }
  std::int32_t GetFileStartAdd() const { return core_.fields().FileStartAdd; }
  std::int32_t CursorAddress8() const;
  std::int32_t CursorAddress16() const;
  // False (after the "Memory error !" box) when the memory cannot be had; nothing changed.
  bool ResizeBuffer(std::uint32_t n);
  void FillBuffer(std::uint8_t value) { core_.FillBuffer(value); }
  void WriteBufferInfo() const { core_.WriteBufferInfo(); }
  void RefreshGrids();

  // The search fields, which the Search dialog reads and sets.
  void SetSearchMode(std::int32_t requested) { core_.fields().SearchRequested = requested; }
  std::int32_t GetSearchDirection() const { return core_.fields().SearchDirection; }
  void SetSearchDirection(std::int32_t direction) { core_.fields().SearchDirection = direction; }
  void SetSearchPattern(const std::string& text) { core_.fields().SearchPattern = text; }
  std::string GetSearchPattern() const { return core_.fields().SearchPattern; }

  // The bytes themselves: lock them with BufferLock for one operation at a time.
  DataBuffer& Buffer() { return core_.buffer(); }
  // The form's other fields (sums, file range, search, map, split mode).
  DumpEditFields& Fields() { return core_.fields(); }
  const DumpEditFields& Fields() const { return core_.fields(); }
  std::int32_t MaxRow() const { return core_.view().MaxRow(); }
  std::int32_t Modified() const { return core_.grids().Modified(); }
  std::int32_t SkipEditCount() const { return core_.grids().SkipEditCount(); }
  std::int32_t TypedCount() const { return core_.grids().TypedCount(); }
  std::int32_t PartialHex() const { return core_.grids().PartialHex(); }
  const EditRecords& EditRecordList() const { return core_.records(); }
  const EditProfile& Profile() const { return core_.profile(); }
  // The form without its widgets, for the Qt-free operations; they leave the widgets to the
  // caller, which refreshes the grids afterwards.
  DumpEditCore& Core() { return core_; }

  // ---- tool buttons ----
  void LoadFileBClick();
  void SaveFileBClick();
  // Without the button (after a POF load) [BufInf] is not rewritten first, and the dialog
  // offers no Exit while it is shown.
  void GetSumSpeedClick(bool fromButton = true);
  void FillDataSeepClick();
  void BlockSpeedClick();
  void SearchSpeedClick();
  void SearchNextSpeedClick();
  void ByteSwapBitBtnClick();
  void WordSwapBitBtnClick();
  void DWordSwapBitBtClick();

  void MainEditPageChange(int index);
  // ---- information page and buffer map ----
  // Both pages from the form's fields and the buffer, the map at its start; the file name and
  // format from [LoadDlg]. Every load that succeeds ends here.
  void ShowBufferInfo();
  // The map's cells from MapOffset on, classified from the buffer, and its row addresses.
  void DrawBufferMap();
  // Line and page steps and the end of a scroll move the map to the position; thumb
  // tracking (ScrollCode::Other) does nothing.
  void BufMapScrollBarScroll(ScrollCode code, std::int32_t position);
  void InfBufferMapMouseMove(int x, int y);
  const BufferInfoPages& InfoPages() const { return info_; }
  void Edit8BitScrollBarScroll(int action);
  void Edit16BitScrollBarScroll(int action);

  // The widgets by their control names, for the console and for tests.
  DumpGrid* Grid(GridId grid) const { return grids_[static_cast<int>(grid)]; }
  QScrollBar* ScrollBar(ScrollBarId bar) const { return bars_[static_cast<int>(bar)]; }
  QTabWidget* MainEditPage() const { return pages_; }
  // The page control shows the "16 Bits" sheet: cursor and sizes read as word addresses.
  bool ShowsWordSheet() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  // The mouse wheel over a scroll bar moves the view by rows, as over the grids.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  bool FormCloseQuery();
  void FormClose();
  void BuildLayout();
  QWidget* BuildGridSheet(ScrollBarId page, std::array<QToolButton*, 7>& buttons);
  QHBoxLayout* BuildToolRow(ScrollBarId page, std::array<QToolButton*, 7>& buttons);
  QHBoxLayout* BuildGridRow(ScrollBarId page);
  QScrollBar* BuildScrollBar(ScrollBarId page, int height);
  void ScrollBarScroll(ScrollBarId bar, int action);
  // The thumb was let go or put somewhere by the bar itself: the view follows it.
  void ScrollBarThumbPlaced(ScrollBarId bar);
  void ConnectMapPage();
  // The figures, the map's scroll bar and the map: what a page change to either page shows.
  void ShowBufferFigures();
  // Brings every widget in line with the core after an event.
  void ShowState();
  // Shows the command's dialog (when one is installed) and runs its action when the dialog
  // answered OK in its section (or always, for commands without a section). With
  // `describeBuffer` [BufInf] is written first. A control named `hiddenControl` is hidden
  // while the dialog is shown. A write of the settings file that fails ends the command with
  // a box, before the dialog opens where it can.
  void RunTool(ToolCommand command, const char* section, bool describeBuffer = false,
               const char* hiddenControl = nullptr);

  DumpEditCore core_;
  std::function<void(const std::string&)> changedDataReporter_;
  QTabWidget* pages_ = nullptr;
  std::array<DumpGrid*, kGridCount> grids_{};
  std::array<QScrollBar*, 2> bars_{};
  std::array<QToolButton*, 7> buttons8_{};
  std::array<QToolButton*, 7> buttons16_{};
  BufferInfoPages info_;
  std::array<WheelRows, 2> barWheels_{};
  // Centred on the screen the first time it is shown; after that where the user put it.
  bool placed_ = false;
};

// The console's one Dump Edit: its start-up creates the form, keeps it for the whole run
// and registers it here for the command handlers that reach the buffer.
TMainEdit* MainEditForm();
void SetMainEditForm(TMainEdit* form);

}  // namespace buffer
