#include "console/core/ConnectionDisplay.h"

#include <algorithm>

#include "link/Io_1.h"

namespace console {

namespace {

// An idle answer paces the blink five times faster than a command does.
constexpr uint32_t kIdleAliveFactor = 5;

void CountNoAnswer(LinkState& state, ConnectionDisplay& display, uint32_t interval) {
  // A link that stays down for weeks must not wrap round to "just lost".
  state.NoAnswerTime = SaturatingAdd(state.NoAnswerTime, interval);
  if (state.NoAnswerTime > kDisconnectAfter) {
    display.caption = kDisconnectingCaption;
    display.panelColour = kRed;
  }
  display.gauge =
      static_cast<int>(std::min<uint32_t>(state.NoAnswerTime / kMillisecondsPerGaugeStep, kGaugeMaximum));
  display.gaugeColour = GaugeColourFor(display.gauge, display.gaugeColour);
}

void CountAnswer(LinkState& state, ConnectionDisplay& display, uint32_t aliveStep) {
  state.AliveTime = SaturatingAdd(state.AliveTime, aliveStep);
  state.NoAnswerTime = 0;
  display.gauge = 0;
  if (state.AliveTime > kBlinkAfter) {
    display.caption = kConnectingCaption;
    display.panelColour = display.panelColour == kBlue ? kGreen : kBlue;
    state.AliveTime = 0;
  }
}

}  // namespace

Rgb GaugeColourFor(int progress, Rgb current) {
  if (progress < 50) return kTeal;
  if (progress < 100) return kLime;
  if (progress < 150) return kYellow;
  if (progress < kGaugeMaximum) return kRed;
  return current;
}

uint8_t PollCodeFor(const LinkState& state) {
  return state.PendingKey > 0 ? qzlink::kPollCodeKeyWaiting : qzlink::kPollCode;
}

void CountPollResult(LinkState& state, ConnectionDisplay& display, int pollResult, uint32_t interval) {
  switch (pollResult) {
    case qzlink::kPollNoAnswer: CountNoAnswer(state, display, interval); break;
    case qzlink::kPollIdle: CountAnswer(state, display, kIdleAliveFactor * interval); break;
    default: CountAnswer(state, display, interval); break;
  }
}

}  // namespace console
