#pragma once
// GANG TOOLS' jobs without widgets: Start loads the first queued file into the buffer and
// presses ENTER on the programmer, ReDo presses it again on what the buffer holds, the
// programmer's result (or the time-out) ends the job in its result row. The form mirrors the
// state after every call: the rows, the buttons (off while a job runs), the time-out timer and
// its bar.
//
// The boxes shown here run loops of their own, in which the link keeps ticking: a result may
// arrive, and with it a new job could start. So the time-out tick notes the job generation
// before each box and leaves everything alone when the job has ended or changed meanwhile.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/core/GangQueue.h"
#include "console/core/GangReport.h"
#include "console/core/GangTimeOut.h"

namespace console {

// What a job needs from the program around it.
class GangJobSite {
 public:
  virtual ~GangJobSite() = default;
  // False while a link transaction runs; a true answer counts a new job generation.
  virtual bool MayStartJob() = 0;
  virtual uint32_t JobGeneration() const = 0;
  // Reads the file [LoadDlg] names and places it in the buffer with reports and messages
  // off; after it, transfers send bytes, not fuses, whatever the outcome. False when the
  // file was not placed: the load road has shown its own boxes then.
  virtual bool LoadFile() = 0;
  // The information page brought up to date; gives the checksum of the load.
  virtual uint32_t ShowBufferInfo() = 0;
  virtual void PressEnter() = 0;
  // The connection panel says "Connecting".
  virtual bool LinkConnected() const = 0;
};

inline constexpr const char* kFileMissingText = "\nCan NOT Find file\nPlease check the path of file\n\n";
inline constexpr const char* kFileEmptyText = "\nThe file is empty\nPlease check the file\n\n";
// The box for a file whose path the settings file cannot hand the load whole: a blank at
// either end is dropped when it is read back, and a '\\' is taken for a folder.
std::string UnstorableNameText(const std::string& path);
inline constexpr const char* kWrongCaption = "Wrong";
inline constexpr const char* kTimeOutText = "Time out!!\n\nChecking connection..";
inline constexpr const char* kTimeOutCaption = "Warning";
inline constexpr const char* kMissingConnectionText = " Missing connection!! ";
inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kInputErrorText = "Input error !";

class GangJobs {
 public:
  explicit GangJobs(GangJobSite& site) : site_(site) {}

  const std::vector<ResultRow>& rows() const { return rows_; }
  // A job runs: Start, Delete, Delete All and ReDo are off.
  bool running() const { return running_; }
  bool timerEnabled() const { return timerEnabled_; }
  // Milliseconds of the running job.
  uint32_t JobElapsed() const { return jobElapsed_; }
  const TimeOutBar& bar() const { return bar_; }

  // The first queued file's job; it leaves the queue when it started. The [LoadDlg] keys go
  // to the settings file at `settingsPath`.
  bool Start(JobQueue& queue, const std::string& settingsPath);
  // The last row's job again, on the buffer as it is.
  bool ReDo();
  // The programmer's result (1 passed, -1 failed, 0 no verdict) or the time-out's 0. Only a
  // running job takes it; the timer stops in any case.
  void SetJobResult(int result);
  // One tick of the time-out timer, `interval` milliseconds after the last.
  void TimeOutTick(uint32_t interval, std::string_view timeOutText);
  // One round of the test timer: Start when "test" is checked and no job runs, unless a
  // modal window is open (`modalOpen`) or a box of this class is.
  bool TestRound(bool testChecked, bool modalOpen, JobQueue& queue, const std::string& settingsPath);

 private:
  class Inside;
  void ShowBox(const std::string& text, const char* caption);
  void BeginJob();
  bool SameJob(uint32_t generation) const;

  GangJobSite& site_;
  std::vector<ResultRow> rows_;
  bool running_ = false;
  bool timerEnabled_ = false;
  uint32_t jobElapsed_ = 0;
  TimeOutBar bar_;
  int inside_ = 0;  // Start, a tick or a box of ours is under way
};

// The time-out edit's check: nothing when the text stands; otherwise the "Input error !" box
// has been shown and the text to put in its place is given.
std::optional<std::string> CheckTimeOutEntry(std::string_view text);

// Writes the [LoadDlg] keys of a job's load: the whole file at address 0, automatic detection,
// 0xFF for the rest of the buffer. False when the settings file cannot be written.
bool WriteJobLoadKeys(const std::string& settingsPath, const std::string& path, int32_t size);

}  // namespace console
