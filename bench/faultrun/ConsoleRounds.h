#pragma once
// The console's side of a fault run, on its Qt-free cores: one link tick (the poll, then the
// transaction with the handler the command asks for) against a device that offers one
// command and runs the device's side of it. Each round runs one transaction with a fault,
// checks what the PC took and left, and retries the same transaction clean, which must
// succeed.
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "bench/faultrun/Cable.h"
#include "bench/faultrun/FaultPlan.h"
#include "bench/faultrun/Tally.h"
#include "console/core/LinkState.h"
#include "link/CommandHandlers.h"
#include "programmer/DeviceLink.h"
#include "programmer/DeviceTransfer.h"
#include "tests/support/RecordingTransferSite.h"

namespace faultrun {

// The device: it offers one command; a transfer's frames are the device's side of it, any
// other command is answered by the PC's acknowledge, which is kept.
class OfferingDevice : public programmer::WireListener {
 public:
  explicit OfferingDevice(programmer::DeviceLink& wire) : wire_(wire) { wire_.SetListener(this); }
  ~OfferingDevice() override { wire_.SetListener(nullptr); }

  // Offers the command (again, unless it still waits to be fetched) with a fresh transfer.
  void Offer(uint8_t code, const std::vector<uint8_t>& payload, std::optional<programmer::DeviceTransfer> transfer);
  void OnSent(const qzlink::LinkPacket& packet) override;
  void OnPacket(const qzlink::LinkPacket& packet) override;

  std::optional<programmer::DeviceTransfer> transfer;
  std::vector<qzlink::LinkPacket> acknowledges;
  uint32_t packetsTaken = 0;  // after the request

 private:
  programmer::DeviceLink& wire_;
};

// The console's handlers with the transfer cores behind them; each keeps the packet it was
// handed. The short commands acknowledge first, as the main form's do.
class CoreHandlers : public qzlink::CommandHandlers {
 public:
  CoreHandlers(console::LinkState& state, console::TransferSite& site) : state_(state), site_(site) {}
  void ReShowLCDCommand(qzlink::LinkPacket p) override { Acknowledge(std::move(p)); }
  void GetKeyCodeCommand() override;
  void QZSendReadDataCommand(qzlink::LinkPacket p) override;
  void QZGetProgramDataCommand(qzlink::LinkPacket p) override;
  void QZSendMenuDataCommand(qzlink::LinkPacket p) override { Acknowledge(std::move(p)); }
  void QZSendReadDataSegmentCommand(qzlink::LinkPacket p) override;
  void QZGetProgramDataSegmentCommand(qzlink::LinkPacket p) override;
  void QZSendStatusDataCommandA7(qzlink::LinkPacket p) override { Acknowledge(std::move(p)); }

  std::optional<qzlink::LinkPacket> handed;
  bool acknowledged = false;
  // Every acknowledge the PC sent or tried to send: the device may take one late, when the
  // PC's last write of it was lost and the next poll's first write finishes it.
  std::vector<qzlink::LinkPacket> sent;

 private:
  void Acknowledge(qzlink::LinkPacket packet);
  bool Send(std::span<const uint8_t> payload);

  console::LinkState& state_;
  console::TransferSite& site_;
};

class ConsoleRounds {
 public:
  ConsoleRounds(Cable& cable, Tally& tally, std::mt19937_64& random);

  // Attaches the console's programmer to the cable.
  void Attach() { cable_.Attach(&programmer_->wire); }

  // One transaction with a fault of `kind` (none: clean), then its clean retry when the
  // fault happened or the transaction failed.
  void Round(std::optional<FaultKind> kind);

 private:
  enum class Kind { Idle, Lcd, Menu, Result, KeyRequest, ReadAll, ReadSegment, ProgramAll, ProgramSegment, Verify, Refused };
  struct Transaction {
    Kind kind = Kind::Idle;
    uint8_t code = 0;
    std::vector<uint8_t> payload;
    std::vector<uint8_t> chip;  // what the device sends, or compares against
    uint32_t address = 0;
    uint32_t length = 0;
    uint32_t block = 0;
    uint64_t cleanAccesses = 0;
    uint64_t bound = 0;
  };
  struct Outcome {
    bool pcSucceeded = false;
    bool deviceCompleted = false;
  };

  Transaction Pick();
  static void Cost(Transaction& t);
  std::optional<programmer::DeviceTransfer> DeviceSide(const Transaction& t) const;
  Outcome Run(const Transaction& t, std::optional<FaultKind> fault);
  static const char* KindName(Kind kind);
  static bool MovesData(Kind kind);
  static bool ToPc(Kind kind);
  Outcome Judge(const Transaction& t, int poll, const std::string& what);
  Outcome Check(const Transaction& t, const std::vector<uint8_t>& before, int32_t sizeBefore, int poll);
  std::vector<uint8_t> Expected(const Transaction& t, const std::vector<uint8_t>& before) const;
  void Measure(const char* call, uint64_t bound, uint64_t waitBound);
  std::vector<uint8_t> Bytes(size_t count);
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(random_() % n); }

  Cable& cable_;
  Tally& tally_;
  std::mt19937_64& random_;
  FaultPlan plan_;
  // The programmer, switched off and on again after a clean retry failed, so that what it
  // still held cannot spill into the rounds after.
  struct Programmer {
    programmer::DeviceLink wire;
    OfferingDevice device{wire};
  };
  std::unique_ptr<Programmer> programmer_ = std::make_unique<Programmer>();
  RecordingTransferSite site_{0x1000};
  console::LinkState state_;
  CoreHandlers handlers_{state_, site_};
  std::string faultName_;
  int lastPoll_ = 0;
};

}  // namespace faultrun
