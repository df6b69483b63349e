#pragma once
// A port backend for the tests of both programs' start-up: a chosen set of port bases, active or not, that
// remembers which port numbers were asked for. Installed for the life of the object.
#include <memory>
#include <vector>

#include "platform/portio/PortBackend.h"
#include "platform/portio/PortDriver.h"

class FakePorts : public portio::PortBackend {
 public:
  struct Record {
    std::vector<int> askedNumbers;
  };

  FakePorts(bool active, std::vector<uint32_t> bases, Record* record)
      : active_(active), bases_(std::move(bases)), record_(record) {}

  // Installs a fresh backend and clears the process-wide handle; the record sees its calls.
  static void Install(bool active, std::vector<uint32_t> bases, Record* record = nullptr) {
    portio::InstallBackend(std::make_unique<FakePorts>(active, std::move(bases), record));
    portio::DriverHandle = 0;
  }
  static void Remove() {
    portio::InstallBackend(nullptr);
    portio::DriverHandle = 0;
  }

  bool IsActive() const override { return active_; }
  int LptCount() const override { return static_cast<int>(bases_.size()); }
  uint32_t LptBase(int number) const override {
    if (record_ != nullptr) record_->askedNumbers.push_back(number);
    return number >= 1 && number <= LptCount() ? bases_[number - 1] : 0;
  }
  uint8_t Read(uint32_t) override { return 0xFF; }
  void Write(uint32_t, uint8_t) override {}

 private:
  bool active_;
  std::vector<uint32_t> bases_;
  Record* record_;
};
