#include "programmer/Firmware.h"

#include <algorithm>
#include <span>
#include <utility>

#include "link/Io_1.h"

namespace programmer {

namespace {

constexpr int kProgressCells = 10;
constexpr int kPercentPerCell = 100 / kProgressCells;
// The bar's cell: the LCD's nearly filled block.
constexpr char kBarCell = 0x10;

std::vector<uint8_t> ResultPayload(Verdict verdict) {
  switch (verdict) {
    case Verdict::Pass: return {1, 1};
    case Verdict::Fail: return {1, 0};
    case Verdict::None: break;
  }
  return {0, 0};
}

const char* ResultText(Verdict verdict) {
  switch (verdict) {
    case Verdict::Pass: return "PASS";
    case Verdict::Fail: return "FAIL";
    case Verdict::None: break;
  }
  return "NO VERDICT";
}

}  // namespace

Firmware::Firmware(DeviceLink& wire, uint32_t chipSize)
    : wire_(wire),
      menu_("MAIN MENU",
            {"AUTO", "PROGRAM", "VERIFY", "ERASE", "BLANK CHECK", "CHECKSUM", "READ (TO PC)", kAutoFromPcItem}),
      chip_(chipSize, 0xFF) {
  ShowMenu();
}

void Firmware::OnPoll(uint8_t pollCode) {
  if (state_ == State::Running) {
    // A new poll while a transfer's dialogue is open: the PC broke it off.
    if (!transfers_.empty() && transfers_.front().state() != DeviceTransfer::State::Offered) {
      EndJob(Verdict::Fail);
    } else {
      StepJob();
    }
  }
  // One command at a time: a screen that changes while one waits goes out as it is then.
  if (wire_.QueuedCommands() == 0) QueueNextCommand(pollCode);
}

void Firmware::QueueNextCommand(uint8_t pollCode) {
  const bool transferWaits = !transfers_.empty() && !transferQueued_;
  const bool screenWentLast = std::exchange(screenWentLast_, false);
  if (menuDue_) {
    menuDue_ = false;
    wire_.QueueCommand(kMenuCommand, menu_.Payload());
  } else if (lcdDue_ && !(transferWaits && screenWentLast)) {
    // A running job's screens would keep its transfer waiting: after each one it goes next.
    lcdDue_ = false;
    screenWentLast_ = true;
    wire_.QueueCommand(kLcdCommand, lcd_.Payload());
  } else if (resultDue_) {
    wire_.QueueCommand(kJobResultCommand, ResultPayload(*resultDue_));
    resultDue_.reset();
  } else if (transferWaits) {
    wire_.QueueCommand(transfers_.front().code(), transfers_.front().CommandPayload());
    transferQueued_ = true;
  } else if (pollCode == qzlink::kPollCodeKeyWaiting) {
    wire_.QueueCommand(kKeyRequest, {});
  }
}

void Firmware::OnSent(const qzlink::LinkPacket& packet) {
  if (!transfers_.empty()) {
    DeviceTransfer& transfer = transfers_.front();
    // Commands go one at a time, so the transfer's code while it is queued is its command.
    if (transferQueued_ && transfer.state() == DeviceTransfer::State::Offered && packet[0] == transfer.code()) {
      transfer.OnCommandSent();
      return;
    }
    if (transfer.state() == DeviceTransfer::State::Going) return;
  }
  awaitingAcknowledge_ = packet[0];
}

void Firmware::OnPacket(const qzlink::LinkPacket& packet) {
  if (!transfers_.empty() && transfers_.front().state() == DeviceTransfer::State::Going) {
    OnTransferPacket(packet);
    return;
  }
  if (packet[0] != qzlink::kAcknowledgeCode) return;
  const uint8_t acknowledged = awaitingAcknowledge_;
  awaitingAcknowledge_ = 0;
  const std::span<const uint8_t> payload = qzlink::PacketPayload(packet);
  if (acknowledged == kKeyRequest && payload.size() >= 2) OnKeyReply(payload[0], payload[1]);
}

void Firmware::OnKeyReply(uint8_t key, uint8_t selection) {
  keyReplies_.emplace_back(key, selection);
  if (selection != kNoSelection && state_ == State::Menu && menu_.Select(selection)) ShowMenu();
  if (key == kNoKey) return;
  switch (state_) {
    case State::Menu: OnMenuKey(key); break;
    case State::Running:
      if (key == kEscKey) EndJob(Verdict::None);
      break;
    case State::Result:
      if (key == kEnterKey && menu_.items()[jobItem_] == kAutoFromPcItem) {
        StartJob();
      } else {
        ShowMenu();
      }
      break;
  }
}

void Firmware::OnMenuKey(uint8_t key) {
  if (key == kEnterKey) {
    StartJob();
    return;
  }
  if (key == kUpKey) {
    menu_.Up();
  } else if (key == kDownKey) {
    menu_.Down();
  } else if (key == kEscKey) {
    menu_.Select(0);
  } else if (key >= kDigitKey0 && key <= kDigitKey0 + 9) {
    menu_.Select(key - kDigitKey0);
  }
  ShowMenu();
}

void Firmware::StartJob() {
  state_ = State::Running;
  jobItem_ = menu_.cursor();
  jobElapsed_ = 0;
  ++jobsRun_;
  verifyFailed_ = false;
  PlanTransfers(menu_.items()[jobItem_]);
  ShowJob();
}

void Firmware::PlanTransfers(const std::string& job) {
  const auto size = static_cast<uint32_t>(chip_.size());
  const bool fetch = job == "AUTO" || job == "PROGRAM" || job == kAutoFromPcItem;
  const bool verify = job == "VERIFY";
  const bool send = job == "READ (TO PC)";
  if (!settings_.segments && fetch) {
    transfers_.push_back(DeviceTransfer::ProgramAll(size, settings_.block));
  } else if (!settings_.segments && send) {
    transfers_.push_back(DeviceTransfer::ReadAll(chip_, settings_.block));
  } else if (fetch || verify || send) {
    // Verifying always goes segment by segment.
    const uint32_t step = std::max(settings_.segmentLength, 1u);
    for (uint32_t address = 0; address < size; address += step) {
      const uint32_t length = std::min(step, size - address);
      if (send) {
        transfers_.push_back(DeviceTransfer::ReadSegment(
            address, std::vector<uint8_t>(chip_.begin() + address, chip_.begin() + address + length)));
      } else {
        transfers_.push_back(DeviceTransfer::ProgramSegment(address, length));
      }
    }
  }
}

void Firmware::OnTransferPacket(const qzlink::LinkPacket& packet) {
  DeviceTransfer& transfer = transfers_.front();
  transfer.OnPacket(packet, wire_);
  if (transfer.state() == DeviceTransfer::State::Broken) {
    EndJob(Verdict::Fail);
  } else if (transfer.state() == DeviceTransfer::State::Done) {
    TakeTransferredData(transfer);
    transfers_.pop_front();
    transferQueued_ = false;
  }
}

void Firmware::TakeTransferredData(const DeviceTransfer& transfer) {
  const std::vector<uint8_t>& data = transfer.received();
  const size_t start = std::min<size_t>(transfer.address(), chip_.size());
  const size_t length = std::min(data.size(), chip_.size() - start);
  if (menu_.items()[jobItem_] == "VERIFY") {
    if (!std::equal(data.begin(), data.begin() + length, chip_.begin() + start)) verifyFailed_ = true;
  } else {
    std::copy_n(data.begin(), length, chip_.begin() + start);
  }
}

void Firmware::StepJob() {
  const int cellsBefore = JobPercent() / kPercentPerCell;
  ++jobElapsed_;
  // The job's time runs while its data move, but it cannot end before they have.
  if (jobElapsed_ >= settings_.jobPolls && transfers_.empty() && !settings_.neverAnswer) {
    EndJob(JobVerdict());
  } else if (JobPercent() / kPercentPerCell != cellsBefore) {
    ShowJob();
  }
}

Verdict Firmware::JobVerdict() const {
  if (verifyFailed_) return Verdict::Fail;
  if (settings_.failEvery != 0 && jobsRun_ % settings_.failEvery == 0) return Verdict::Fail;
  return settings_.verdict;
}

int Firmware::JobPercent() const {
  // A job waiting for its data past its time stays at 100%.
  return static_cast<int>(std::min<uint64_t>(uint64_t{jobElapsed_} * 100 / std::max(settings_.jobPolls, 1u), 100));
}

void Firmware::EndJob(Verdict verdict) {
  transfers_.clear();
  transferQueued_ = false;
  state_ = State::Result;
  resultDue_ = verdict;
  lastVerdict_ = verdict;
  ShowResult(verdict);
}

void Firmware::ShowMenu() {
  state_ = State::Menu;
  menu_.Render(lcd_);
  lcdDue_ = true;
}

void Firmware::ShowJob() {
  const int percent = JobPercent();
  lcd_.Clear();
  lcd_.SetLine(0, menu_.items()[jobItem_]);
  lcd_.SetLine(1, "Running...");
  lcd_.SetLine(2, std::string(static_cast<size_t>(percent / kPercentPerCell), kBarCell));
  lcd_.Write(2, kProgressCells + 3, std::to_string(percent) + "%");
  lcd_.SetLine(3, "ESC: abort");
  lcdDue_ = true;
}

void Firmware::ShowResult(Verdict verdict) {
  lcd_.Clear();
  lcd_.SetLine(0, menu_.items()[jobItem_]);
  lcd_.SetLine(1, ResultText(verdict));
  lcd_.SetLine(3, "Press any key");
  lcd_.SetCursor(3, 13);
  lcdDue_ = true;
}

}  // namespace programmer
