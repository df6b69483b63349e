#include "console/core/GangJobs.h"

#include <utility>

#include "buffer/core/FileChecks.h"
#include "buffer/core/HexText.h"
#include "buffer/core/LoadDialogRules.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/MessageBox.h"
#include "platform/winapi/Paths.h"

namespace console {

namespace {

constexpr int32_t kFillByte = 0xFF;

}  // namespace

// Marks a stretch in which boxes may run loops of their own.
class GangJobs::Inside {
 public:
  explicit Inside(int& depth) : depth_(depth) { ++depth_; }
  ~Inside() { --depth_; }
  Inside(const Inside&) = delete;
  Inside& operator=(const Inside&) = delete;

 private:
  int& depth_;
};

std::string UnstorableNameText(const std::string& path) {
  return "\nCan NOT load a file whose name begins or ends\nwith a blank or holds a '\\':\n" + path + "\n\n";
}

bool WriteJobLoadKeys(const std::string& settingsPath, const std::string& path, int32_t size) {
  TIniFile ini(settingsPath);
  const char* section = buffer::kLoadDlgSection;
  // The end is the file's last byte, so exactly the file is placed.
  bool written = ini.WriteInteger(section, "SourceSAdd", 0);
  written = written && ini.WriteInteger(section, "SourceEAdd", size - 1);
  written = written && ini.WriteInteger(section, "DistSAdd", 0);
  written = written && ini.WriteInteger(section, "UserFill", kFillByte);
  written = written && ini.WriteInteger(section, "Format", 0);
  written = written && ini.WriteInteger(section, "UnuserFillCheck", 1);
  written = written && ini.WriteString(section, "Name", path);
  written = written && ini.WriteString(section, "OK", "1");
  return written && ini.WriteInteger(section, "EvenOdd", 0);
}

bool GangJobs::Start(JobQueue& queue, const std::string& settingsPath) {
  if (queue.empty() || running_ || !site_.MayStartJob()) return false;
  const Inside inside(inside_);
  const QueuedFile file = queue.front();
  const std::string path = file.Path();
  const std::optional<int32_t> size =
      buffer::CheckFileExists(path, false) ? buffer::ReadFileSize(path) : std::nullopt;
  if (!size) {
    ShowBox(kFileMissingText, kWrongCaption);
    return false;
  }
  // The load reads the name back from the settings file, which drops blanks at its ends, and
  // takes '\\' for a folder: such a name would load another file, or none.
  if (winapi::NativePath(winapi::StoredName(path)) != path) {
    ShowBox(UnstorableNameText(path), kWrongCaption);
    return false;
  }
  // An empty file would leave the last file's data in the buffer for this job.
  if (*size == 0) {
    ShowBox(kFileEmptyText, kWrongCaption);
    return false;
  }
  if (!WriteJobLoadKeys(settingsPath, path, *size)) {
    // The load would read another file's name.
    ShowBox("\nCan NOT write the load settings\n" + settingsPath + "\n\n", kWrongCaption);
    return false;
  }
  if (!site_.LoadFile()) return false;
  const uint32_t sum = site_.ShowBufferInfo();
  rows_.push_back({file.name, buffer::FormatHex(sum, 8), kProcessingStatus});
  site_.PressEnter();
  queue.PopFront();
  BeginJob();
  return true;
}

bool GangJobs::ReDo() {
  if (rows_.empty() || running_ || !site_.MayStartJob()) return false;
  ResultRow row = rows_.back();
  row.status = kProcessingStatus;
  rows_.push_back(std::move(row));
  site_.PressEnter();
  BeginJob();
  return true;
}

void GangJobs::BeginJob() {
  running_ = true;
  jobElapsed_ = 0;
  timerEnabled_ = true;
}

void GangJobs::SetJobResult(int result) {
  timerEnabled_ = false;
  // A result that comes when no job runs belongs to no row.
  if (!running_ || rows_.empty()) return;
  rows_.back().status = StatusForResult(result);
  running_ = false;
}

bool GangJobs::SameJob(uint32_t generation) const { return running_ && site_.JobGeneration() == generation; }

void GangJobs::TimeOutTick(uint32_t interval, std::string_view timeOutText) {
  timerEnabled_ = false;
  if (!running_) return;
  const Inside inside(inside_);
  jobElapsed_ = SaturatingAdd(jobElapsed_, interval);
  const uint32_t limit = JobTimeOutMs(timeOutText);
  if (jobElapsed_ > limit) {
    // A result may come while a box is open: then the job is over and this tick has no say.
    const uint32_t generation = site_.JobGeneration();
    ShowBox(kTimeOutText, kTimeOutCaption);
    if (!SameJob(generation)) return;
    if (!site_.LinkConnected()) {
      ShowBox(kMissingConnectionText, kErrorCaption);
      if (SameJob(generation)) SetJobResult(0);
      return;
    }
    jobElapsed_ = 0;
  } else {
    bar_ = TimeOutBarFor(jobElapsed_, limit, bar_.colour);
  }
  timerEnabled_ = true;
}

bool GangJobs::TestRound(bool testChecked, bool modalOpen, JobQueue& queue, const std::string& settingsPath) {
  if (!testChecked || running_ || modalOpen || inside_ > 0) return false;
  return Start(queue, settingsPath);
}

void GangJobs::ShowBox(const std::string& text, const char* caption) {
  const Inside inside(inside_);
  winapi::MessageBox(nullptr, text, caption, winapi::MB_OK);
}

std::optional<std::string> CheckTimeOutEntry(std::string_view text) {
  if (TimeOutTextAccepted(text)) return std::nullopt;
  winapi::MessageBox(nullptr, kInputErrorText, kErrorCaption, winapi::MB_OK);
  return std::string(kDefaultTimeOutText);
}

}  // namespace console
