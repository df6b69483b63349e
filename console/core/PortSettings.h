#pragma once
// What the port setup and poll-interval dialogs decide, without the dialogs: the list of
// detected ports, the port typed by the user, and the tie between the interval and the
// track bar's position.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "console/core/LinkState.h"

namespace console {

// A port base as the dialog shows it, "%04X".
std::string PortBaseText(uint32_t base);

// The nonzero entries among the first three of the table, in order, as PortBaseText.
std::vector<std::string> DetectedPortList(const std::array<uint32_t, kLptTableSize>& table);

// Stores the typed text exactly as typed as [System] DataPort of the settings file and
// returns the port base it names (the one port-address reading).
uint32_t StorePortChoice(const std::string& settingsPath, const std::string& typed);

// The track bar of the poll interval: positions 0..19 for 30..600 ms in steps of 30.
inline constexpr int kIntervalPositions = 20;
inline constexpr int IntervalAtPosition(int position) { return position * 30 + 30; }
inline constexpr int PositionOfInterval(int intervalMs) { return intervalMs / 30 - 1; }
// "Interval : %d ms".
std::string IntervalText(int intervalMs);

}  // namespace console
