#pragma once
// The update run's surface on the frame: its boxes' owner, the active child's buffer, the
// Update menu item, the device labels and the two forms of the run, which exist only while
// their step runs.
#include <memory>

#include "update/InitUnit.h"
#include "update/PrograssForm.h"
#include "update/core/UpdateRun.h"

namespace update {

class TMainForm;

class FrameSurface : public UpdateSurface {
 public:
  explicit FrameSurface(TMainForm& frame) : frame_(frame) {}
  ~FrameSurface() override;

  winapi::Owner Frame() override;
  buffer::DumpEditCore* ActiveChild() override;
  void SetUpdateEnabled(bool enabled) override;
  void ShowDeviceLabels(const std::string& idText, const std::string& modelText) override;
  void ShowInitForm() override;
  void CloseInitForm() override;
  void ShowUpdateForm(const std::string& action) override;
  void CloseUpdateForm() override;
  void WhilePausing() override {}
  void SetMaximum(std::int32_t maximum) override;
  void SetProgress(std::int32_t progress) override;

 private:
  TMainForm& frame_;
  std::unique_ptr<TInitForm> initForm_;
  std::unique_ptr<TUpDateForm> upDateForm_;
};

}  // namespace update
