#include "update/core/UpdateRun.h"

#include "link/UpdateLink.h"
#include "platform/winapi/Clock.h"
#include "update/core/UpdateImage.h"

namespace update {
namespace {

std::string FirstWord(const std::string& model) { return model.substr(0, model.find(' ')); }

}  // namespace

bool ModelsDiffer(const std::string& fileModel, const std::string& deviceModel) {
  const std::string file = FirstWord(fileModel);
  return file.empty() || file != FirstWord(deviceModel);
}

void UpdateRun::Menu_Update1Click() {
  buffer::DumpEditCore* child = surface_.ActiveChild();
  if (!child || !HoldsAcceptedImage(*child)) {
    buffer::ShowMessage(messages::kNotAllowed, surface_.Frame());
    return;
  }
  if (ShowDeviceInfo() != 1) return;
  child = surface_.ActiveChild();
  const std::string fileModel = child ? FieldText(child->fields().FileModel) : std::string();
  if (ModelsDiffer(fileModel, FieldText(deviceModel_)) &&
      buffer::ShowMessage(messages::kModelQuestion, surface_.Frame()) != winapi::IDYES)
    return;
  surface_.SetUpdateEnabled(false);
  surface_.ShowInitForm();
  Pause();
  surface_.CloseInitForm();
  std::uint32_t base = 0;
  if (qzlink::FindDevicePort(base) == 0) {
    buffer::ShowMessage(messages::kNoPort, surface_.Frame());
  } else if (RunProgram(base) == 1) {
    buffer::ShowMessage(RunVerify(base) < 0 ? messages::kUpdateFail : messages::kUpdateOk, surface_.Frame());
  }
  surface_.SetUpdateEnabled(true);
}

int UpdateRun::ShowDeviceInfo() {
  std::uint32_t base = 0;
  if (qzlink::FindDevicePort(base) == 0) {
    buffer::ShowMessage(messages::kNoHardware);
    return 0;
  }
  DeviceIdentity identity;
  if (ReadDeviceInfo(surface_.Frame(), base, identity) != 0) {
    buffer::ShowMessage(messages::kNoIdentity, surface_.Frame());
    return 0;
  }
  deviceFormatId_ = identity.formatId;
  deviceModel_ = identity.model;
  surface_.ShowDeviceLabels("Device ID : " + FieldText(deviceFormatId_), "Device Model : " + FieldText(deviceModel_));
  return 1;
}

int UpdateRun::RunProgram(std::uint32_t base) {
  surface_.ShowUpdateForm(kProgramAction);
  buffer::DumpEditCore* child = surface_.ActiveChild();
  const int code = child ? ProgramImage(surface_.Frame(), child->buffer(), 0, base, "FF", kBlockLength, kImageEnd, surface_)
                         : kRunLinkFailed;
  if (code != kRunCompleted) {
    ShowRunFailure(code);
    surface_.CloseUpdateForm();
    return 0;
  }
  surface_.SetProgress(kUpdateImageSize / kBlockLength);
  Pause();
  surface_.CloseUpdateForm();
  return 1;
}

int UpdateRun::RunVerify(std::uint32_t base) {
  if (qzlink::ProbeDevice(base) != qzlink::kProbeAnswered) {
    buffer::ShowMessage(messages::kNoHardware);
    return -1;
  }
  surface_.ShowUpdateForm(kVerifyAction);
  buffer::DumpEditCore* child = surface_.ActiveChild();
  const int code = child ? VerifyImage(surface_.Frame(), child->buffer(), 0, kImageEnd, kBlockLength, "FF", "32", base, surface_)
                         : kRunLinkFailed;
  surface_.CloseUpdateForm();
  return code == kRunCompleted ? 0 : ShowRunFailure(code);
}

// The box of a failed run; -1.
int UpdateRun::ShowRunFailure(int code) {
  if (code == kRunStopped) {
    buffer::ShowMessage(messages::kUserStop, surface_.Frame());
  } else {
    buffer::ShowMessage(messages::kUpdateError);
  }
  return -1;
}

void UpdateRun::Pause() {
  winapi::Clock& clock = winapi::CurrentClock();
  const std::int64_t start = clock.MonotonicSeconds();
  while (clock.MonotonicSeconds() - start <= kPauseSeconds) surface_.WhilePausing();
}

}  // namespace update
