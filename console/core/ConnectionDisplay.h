#pragma once
// The connection display the link tick keeps up to date: the status panel ("Waiting", a
// blinking "Connecting", "Disconnecting") and the gauge that fills while the programmer does
// not answer. Qt-free: the form reads what its widgets show, lets one poll result act on it
// and shows the outcome.
#include <cstdint>
#include <string>

#include "console/core/LinkState.h"
#include "platform/winapi/Colours.h"

namespace console {

// The panel and the gauge take the framework's colours.
using winapi::kBlue;
using winapi::kGreen;
using winapi::kLime;
using winapi::kRed;
using winapi::kTeal;
using winapi::kYellow;
using winapi::Rgb;

inline constexpr int kGaugeMaximum = 200;
// Milliseconds of unanswered polls in a row after which the link counts as lost.
inline constexpr uint32_t kDisconnectAfter = 3000;
// AliveTime beyond which the "Connecting" panel changes colour.
inline constexpr uint32_t kBlinkAfter = 300;
// The gauge fills one step per this many unanswered milliseconds (full at kDisconnectAfter).
inline constexpr uint32_t kMillisecondsPerGaugeStep = 15;

inline constexpr const char* kWaitingCaption = "Waiting";
inline constexpr const char* kConnectingCaption = "Connecting";
inline constexpr const char* kDisconnectingCaption = "Disconnecting";

struct ConnectionDisplay {
  std::string caption = kWaitingCaption;
  Rgb panelColour = kBlue;
  int gauge = 50;
  Rgb gaugeColour = kTeal;
  friend bool operator==(const ConnectionDisplay&, const ConnectionDisplay&) = default;
};

// value + addend, held at the largest value instead of wrapping round.
inline uint32_t SaturatingAdd(uint32_t value, uint32_t addend) {
  const uint32_t room = UINT32_MAX - value;
  return addend > room ? UINT32_MAX : value + addend;
}

// A gauge's colour at this progress (of 200): teal, lime, yellow, then red in steps of 50; a
// full gauge keeps the colour it has.
Rgb GaugeColourFor(int progress, Rgb current);

// The poll code of this tick: the programmer is told when a key waits to be fetched.
uint8_t PollCodeFor(const LinkState& state);

// Lets one poll result (PollDevice's 0, 1 or 2) act on the link's timers and the display.
// For a command the transaction has run already; `interval` is the tick's in milliseconds.
void CountPollResult(LinkState& state, ConnectionDisplay& display, int pollResult, uint32_t interval);

}  // namespace console
