#pragma once
// The update tool's side of a fault run: the Update menu's whole run (the identity, 16
// program blocks, 16 verify blocks) on its Qt-free core against the virtual programmer in its
// update mode, and the run's refusals. Each round runs once with a fault, checks the flash
// and the buffer, and retries clean, which must pass.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "bench/faultrun/Cable.h"
#include "bench/faultrun/FaultPlan.h"
#include "bench/faultrun/Tally.h"
#include "buffer/core/DumpEditCore.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "programmer/UpdateMode.h"
#include "tests/support/SteppingClock.h"
#include "update/core/UpdateRun.h"

namespace faultrun {

// The frame as the run sees it: one Dump Edit child, no widgets.
class QuietSurface : public update::UpdateSurface {
 public:
  winapi::Owner Frame() override { return this; }
  buffer::DumpEditCore* ActiveChild() override { return child; }
  void SetUpdateEnabled(bool) override {}
  void ShowDeviceLabels(const std::string&, const std::string&) override {}
  void ShowInitForm() override {}
  void CloseInitForm() override {}
  void ShowUpdateForm(const std::string&) override {}
  void CloseUpdateForm() override {}
  void WhilePausing() override {}
  void SetMaximum(std::int32_t) override {}
  void SetProgress(std::int32_t) override {}

  buffer::DumpEditCore* child = nullptr;
};

class UpdateRounds {
 public:
  UpdateRounds(Cable& cable, Tally& tally, std::mt19937_64& random);
  ~UpdateRounds();

  // Attaches the update mode to the cable.
  void Attach();
  void Round(std::optional<FaultKind> kind);

 private:
  enum class Kind {
    Update,
    OtherModelYes,
    OtherModelNo,
    NotAccepted,
    ProbeRefused,
    Stop,
    DeviceFailsBlock,
    DeviceErrorBlock,
    DeviceFinishesEarly,
    BusyForever,
    BusyInQuickCycles,
    DamagedCommit,
  };

  bool ShowsIdle();
  void Accept(const std::vector<uint8_t>& image);
  void Arrange(Kind kind);
  // One run; whether it ended with "Update OK!".
  bool Run(std::optional<FaultKind> fault);
  void Check(bool passed);
  uint64_t BusyPhasesPerWait() const;
  void Measure(uint64_t bound);
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(random_() % n); }

  Cable& cable_;
  Tally& tally_;
  std::mt19937_64& random_;
  FaultPlan plan_;
  testsupport::SteppingClock clock_{1};
  winapi::ScriptedMessageBoxes boxes_;
  std::unique_ptr<programmer::UpdateMode> mode_;
  buffer::DumpEditCore child_{buffer::UpdateToolProfile()};
  QuietSurface surface_;
  std::array<char, 20> deviceFormatId_{};
  std::array<char, 20> deviceModel_{};
  update::UpdateRun run_{surface_, deviceFormatId_, deviceModel_};
  std::vector<uint8_t> image_;
  std::vector<uint8_t> flashBefore_;
  std::vector<uint8_t> bufferBefore_;
  // A clean run's accesses, where a fault lands at random: first a guess, then as measured.
  uint64_t cleanAccesses_ = 800000;
  bool measured_ = false;
  int looks_ = 0;
  int stopAtLook_ = -1;
  uint32_t seed_ = 1;
  std::string arranged_;
};

}  // namespace faultrun
