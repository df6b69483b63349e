#pragma once
// The Update menu's run: the image must be accepted, the programmer's identity is read and
// its model compared with the image's, then, behind the init form and its pause, the port is
// found, the image programmed and verified, and the outcome reported. What it shows goes
// through a surface the frame provides, so the run itself knows no widget.
#include <array>
#include <cstdint>
#include <string>

#include "buffer/core/DumpEditCore.h"
#include "buffer/core/Messages.h"
#include "update/core/UpdateCommands.h"

namespace update {

namespace messages {
inline constexpr buffer::Message kNotAllowed{
    "The updating process is not allowed to procede.\nYou might work with the wrong procedures.\n"
    "Please refer to the users maual.",
    "Warning", winapi::MB_OK};
inline constexpr buffer::Message kModelQuestion{
    "The ID(identification) number of the file format be different from the current module. \n"
    "The hardware will may be out of order if you still update the system. \n"
    "Are you sure you want to continue ?",
    "Warning", winapi::MB_YESNO | winapi::MB_ICONWARNING};
inline constexpr buffer::Message kNoPort{"Not found hardware!!", "", winapi::MB_OK};
inline constexpr buffer::Message kNoHardware{"Not found hardware!", "", winapi::MB_OK};
inline constexpr buffer::Message kNoIdentity{"Not found hardware!", "Warning", winapi::MB_OK};
inline constexpr buffer::Message kUserStop{"User Press 'Stop' !", "Process Fail", winapi::MB_OK};
inline constexpr buffer::Message kUpdateError{"Update Error !", "", winapi::MB_OK};
inline constexpr buffer::Message kUpdateFail{"Update Fail!", "Warning", winapi::MB_OK};
inline constexpr buffer::Message kUpdateOk{"Update OK!", "PASS", winapi::MB_OK};
}  // namespace messages

inline constexpr const char* kProgramAction = "Current Action : Program...";
inline constexpr const char* kVerifyAction = "Current Action : Verify...";
// The pauses after the init form opens and after programming, in whole seconds exceeded.
inline constexpr std::int64_t kPauseSeconds = 5;

// What the run shows and where it finds the image.
class UpdateSurface : public Gauge {
 public:
  // The frame, owner of most boxes.
  virtual winapi::Owner Frame() = 0;
  // The active Dump Edit child, asked again at each step (nullptr when none is open).
  virtual buffer::DumpEditCore* ActiveChild() = 0;
  virtual void SetUpdateEnabled(bool enabled) = 0;
  // "Device ID : %s" and "Device Model : %s", the device panel repainted.
  virtual void ShowDeviceLabels(const std::string& idText, const std::string& modelText) = 0;
  virtual void ShowInitForm() = 0;
  virtual void CloseInitForm() = 0;
  // The update form with its action text, shown and repainted; closing an already closed
  // form (Stop closes it) does nothing.
  virtual void ShowUpdateForm(const std::string& action) = 0;
  virtual void CloseUpdateForm() = 0;
  // Each turn of a busy pause; the forms stay drawn.
  virtual void WhilePausing() = 0;
};

// Cuts a model at its first blank. An empty word (an empty model, or one that starts with a
// blank) matches nothing, so the question is asked.
bool ModelsDiffer(const std::string& fileModel, const std::string& deviceModel);

class UpdateRun {
 public:
  UpdateRun(UpdateSurface& surface, std::array<char, 20>& deviceFormatId, std::array<char, 20>& deviceModel)
      : surface_(surface), deviceFormatId_(deviceFormatId), deviceModel_(deviceModel) {}

  void Menu_Update1Click();
  // 1 with the identity read and shown, 0 after its box.
  int ShowDeviceInfo();
  // 1 when programmed, 0 after the box of its failure.
  int RunProgram(std::uint32_t base);
  // 0 when verified, -1 after the box of its failure.
  int RunVerify(std::uint32_t base);

 private:
  void Pause();
  int ShowRunFailure(int code);

  UpdateSurface& surface_;
  std::array<char, 20>& deviceFormatId_;
  std::array<char, 20>& deviceModel_;
};

}  // namespace update
