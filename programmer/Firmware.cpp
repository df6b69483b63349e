#include "programmer/Firmware.h"

#include <algorithm>
#include <span>

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

Firmware::Firmware(DeviceLink& wire)
    : wire_(wire),
      menu_("MAIN MENU", {"AUTO", "PROGRAM", "VERIFY", "ERASE", "BLANK CHECK", "CHECKSUM", "READ (TO PC)"}) {
  ShowMenu();
}

void Firmware::OnPoll(uint8_t pollCode) {
  if (state_ == State::Running) StepJob();
  // One command at a time: a screen that changes while one waits goes out as it is then.
  if (wire_.QueuedCommands() == 0) QueueNextCommand(pollCode);
}

void Firmware::QueueNextCommand(uint8_t pollCode) {
  if (menuDue_) {
    menuDue_ = false;
    wire_.QueueCommand(kMenuCommand, menu_.Payload());
  } else if (lcdDue_) {
    lcdDue_ = false;
    wire_.QueueCommand(kLcdCommand, lcd_.Payload());
  } else if (resultDue_) {
    wire_.QueueCommand(kJobResultCommand, ResultPayload(*resultDue_));
    resultDue_.reset();
  } else if (pollCode == qzlink::kPollCodeKeyWaiting) {
    wire_.QueueCommand(kKeyRequest, {});
  }
}

void Firmware::OnSent(const qzlink::LinkPacket& packet) { awaitingAcknowledge_ = packet[0]; }

void Firmware::OnPacket(const qzlink::LinkPacket& packet) {
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
    case State::Result: ShowMenu(); break;
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
  ShowJob();
}

void Firmware::StepJob() {
  const int cellsBefore = JobPercent() / kPercentPerCell;
  ++jobElapsed_;
  if (jobElapsed_ >= settings_.jobPolls) {
    EndJob(settings_.verdict);
  } else if (JobPercent() / kPercentPerCell != cellsBefore) {
    ShowJob();
  }
}

int Firmware::JobPercent() const {
  return static_cast<int>(uint64_t{jobElapsed_} * 100 / std::max(settings_.jobPolls, 1u));
}

void Firmware::EndJob(Verdict verdict) {
  state_ = State::Result;
  resultDue_ = verdict;
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
