#pragma once
// The cable between the PC and the virtual programmer: it counts every register access, keeps
// the longest wait (status reads with no write between them), can be pulled out at a given
// access and plugged back in, and runs a planned fault once the PC has made a given number of
// accesses. A call that goes past its bound of accesses is stopped by an exception, so a run
// never hangs on a loop that does not end.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>

#include "platform/portio/FloatingPort.h"
#include "platform/portio/PortDevice.h"

namespace faultrun {

class CallOverrun : public std::runtime_error {
 public:
  CallOverrun() : std::runtime_error("a call went past its bound of port accesses") {}
};

// What one call did on the port.
struct CallFigures {
  uint64_t accesses = 0;
  uint64_t longestWait = 0;
};

class Cable : public portio::PortDevice {
 public:
  void Attach(portio::PortDevice* device) { device_ = device; }

  uint8_t Read(portio::LptRegister reg) override {
    Step();
    if (reg == portio::LptRegister::Status) {
      ++wait_;
      figures_.longestWait = std::max(figures_.longestWait, wait_);
    }
    return plugged_ ? device_->Read(reg) : floating_.Read(reg);
  }
  void Write(portio::LptRegister reg, uint8_t value) override {
    Step();
    wait_ = 0;
    if (plugged_) {
      device_->Write(reg, value);
    } else {
      floating_.Write(reg, value);
    }
  }

  // `fault` runs once `accesses` more accesses have been made (0: at the next one).
  void PlanIn(uint64_t accesses, std::function<void()> fault) {
    planAt_ = total_ + accesses + 1;
    plan_ = std::move(fault);
  }
  void Unplug() { plugged_ = false; }
  void Plug() { plugged_ = true; }
  void DropPlan() { planAt_.reset(); }

  // Starts counting one call, which may make at most `bound` accesses.
  void BeginCall(uint64_t bound) {
    bound_ = bound;
    figures_ = {};
    wait_ = 0;
  }
  CallFigures EndCall() { return figures_; }

 private:
  void Step() {
    ++total_;
    if (++figures_.accesses > bound_) throw CallOverrun();
    if (planAt_ && total_ >= *planAt_) {
      planAt_.reset();
      // The fault may plan the next step of itself.
      const std::function<void()> fault = std::move(plan_);
      fault();
    }
  }

  portio::PortDevice* device_ = nullptr;
  portio::FloatingPort floating_;
  bool plugged_ = true;
  uint64_t total_ = 0;
  uint64_t bound_ = UINT64_MAX;
  uint64_t wait_ = 0;
  CallFigures figures_;
  std::optional<uint64_t> planAt_;
  std::function<void()> plan_;
};

}  // namespace faultrun
