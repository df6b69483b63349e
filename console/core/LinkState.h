#pragma once
// What the console's main form knows about the link to the programmer: the port in use, the
// key and menu choice waiting to be fetched, and the flags the link loop and the command
// handlers share. The form carries these as its own fields (it derives from this struct), so
// every handler reads them as members of the form.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace console {

// Key codes the programmer understands.
inline constexpr int32_t kNoKey = 0;
inline constexpr int32_t kHexKey0 = 0x10;  // keys 0..F are 0x10..0x1F
inline constexpr int32_t kEscKey = 0x20;
inline constexpr int32_t kEnterKey = 0x23;
// MenuSelection when no menu item waits to be fetched.
inline constexpr int32_t kNoSelection = 0xFF;

inline constexpr int kLptTableSize = 7;

struct LinkState {
  std::string StartDirectory;
  std::string HistoryIniPath;  // StartDirectory + "\History.ini"
  uint32_t LptBase = 0;
  std::array<uint32_t, kLptTableSize> LptBaseTable{};
  int32_t PendingKey = 0;
  int32_t MenuSelection = 0;
  uint32_t AliveTime = 0;
  uint32_t NoAnswerTime = 0;
  int32_t SelectionSentFirst = 0;
  int32_t LogEnabled = 0;
  int32_t JedecSendMode = 0;
  std::vector<char> JedecText;  // the last JEDEC file read, NUL after its text
  uint32_t JedecTextSize = 0;
  uint8_t IdleFlag = 0;
  uint8_t MenuListMode = 0;
  uint8_t ToPcFlag = 0;
  // 1 while a link transaction runs. A box shown inside one runs a nested loop, in which no
  // job may start and nothing may reload the buffer.
  uint8_t TransactionBusy = 0;
  // Counts the jobs started; a handler that showed a box compares it with the count before.
  uint32_t JobGeneration = 0;
};

// A job (which reloads the buffer) may start only outside a transaction; a start counts.
inline bool MayStartJob(LinkState& state) {
  if (state.TransactionBusy != 0) return false;
  ++state.JobGeneration;
  return true;
}

}  // namespace console
