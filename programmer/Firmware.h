#pragma once
// The virtual programmer's firmware: a main menu on its LCD, navigated by the keys it fetches
// from the PC, and jobs that ENTER starts on a menu item and that end with a job result. It
// hears the wire through the listener calls and speaks by queueing one command at a time, so
// the LCD the PC gets is always the latest. Time is counted in the PC's polls. In its
// "AUTO FROM PC" mode a console runs job after job, each started by ENTER from the PC.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "programmer/DeviceLink.h"
#include "programmer/DeviceTransfer.h"
#include "programmer/LcdScreen.h"
#include "programmer/MenuModel.h"

namespace programmer {

// Commands the firmware sends.
inline constexpr uint8_t kLcdCommand = 0xA0;
inline constexpr uint8_t kKeyRequest = 0xA1;
inline constexpr uint8_t kMenuCommand = 0xA4;
inline constexpr uint8_t kJobResultCommand = 0xA7;

// Key codes as the PC sends them.
inline constexpr uint8_t kNoKey = 0x00;
inline constexpr uint8_t kDigitKey0 = 0x10;  // keys 0..F are 0x10..0x1F
inline constexpr uint8_t kUpKey = 0x1B;      // key B, the PC's Up arrow
inline constexpr uint8_t kDownKey = 0x1F;    // key F, the PC's Down arrow
inline constexpr uint8_t kEscKey = 0x20;
inline constexpr uint8_t kEnterKey = 0x23;
inline constexpr uint8_t kNoSelection = 0xFF;

enum class Verdict { Pass, Fail, None };

inline constexpr uint32_t kDefaultChipSize = 0x10000;

struct FirmwareSettings {
  uint32_t jobPolls = 40;           // polls a job runs before it reports
  Verdict verdict = Verdict::Pass;  // what every job that moved its data whole reports
  uint32_t block = 0x400;           // the block size of whole-buffer transfers (0xA2, 0xA3)
  bool segments = false;            // jobs move the buffer in segments (0xA5, 0xA6) instead
  uint32_t segmentLength = 0x1000;  // the length of each segment
  uint32_t failEvery = 0;           // every k-th job fails (0: none does)
  bool neverAnswer = false;         // jobs run on and never report
};

// The menu item whose jobs the PC drives: ENTER on its result screen starts the next job.
inline constexpr const char* kAutoFromPcItem = "AUTO FROM PC";

class Firmware : public WireListener {
 public:
  enum class State { Menu, Running, Result };

  explicit Firmware(DeviceLink& wire, uint32_t chipSize = kDefaultChipSize);

  FirmwareSettings& settings() { return settings_; }
  State state() const { return state_; }
  const LcdScreen& lcd() const { return lcd_; }
  const MenuModel& menu() const { return menu_; }
  // The device buffer, 0xFF at power-on.
  std::vector<uint8_t>& chip() { return chip_; }
  // The menu item of the job running or last run.
  size_t jobItem() const { return jobItem_; }
  // The verdict of the last job that ended, and whether the PC has been sent it.
  std::optional<Verdict> lastVerdict() const { return lastVerdict_; }
  bool resultSent() const { return lastVerdict_ && !resultDue_ && wire_.QueuedCommands() == 0; }
  // Jobs started since power-on.
  uint32_t jobsRun() const { return jobsRun_; }
  // Every (key, selection) the PC answered a key request with, in order.
  const std::vector<std::pair<uint8_t, uint8_t>>& keyReplies() const { return keyReplies_; }

  void OnPoll(uint8_t pollCode) override;
  void OnPacket(const qzlink::LinkPacket& packet) override;
  void OnSent(const qzlink::LinkPacket& packet) override;

 private:
  void QueueNextCommand(uint8_t pollCode);
  void OnKeyReply(uint8_t key, uint8_t selection);
  void OnMenuKey(uint8_t key);
  void StartJob();
  void PlanTransfers(const std::string& job);
  void OnTransferPacket(const qzlink::LinkPacket& packet);
  void TakeTransferredData(const DeviceTransfer& transfer);
  void StepJob();
  void EndJob(Verdict verdict);
  Verdict JobVerdict() const;
  int JobPercent() const;
  void ShowMenu();
  void ShowJob();
  void ShowResult(Verdict verdict);

  DeviceLink& wire_;
  FirmwareSettings settings_;
  MenuModel menu_;
  LcdScreen lcd_;
  State state_ = State::Menu;
  size_t jobItem_ = 0;
  uint32_t jobsRun_ = 0;
  uint32_t jobElapsed_ = 0;
  std::vector<std::pair<uint8_t, uint8_t>> keyReplies_;
  std::vector<uint8_t> chip_;
  // The running job's transfers still to do, the front one offered once its command queued.
  std::deque<DeviceTransfer> transfers_;
  bool transferQueued_ = false;
  bool screenWentLast_ = false;
  bool verifyFailed_ = false;

  // What the PC has yet to be told.
  bool menuDue_ = true;
  bool lcdDue_ = true;
  std::optional<Verdict> resultDue_;
  std::optional<Verdict> lastVerdict_;
  // The command whose acknowledge comes next.
  uint8_t awaitingAcknowledge_ = 0;
};

}  // namespace programmer
