#pragma once
// The console's use of the port driver at start-up: open it, refuse to go on without it,
// and find the parallel ports.
#include "console/core/LinkState.h"

namespace console {

inline constexpr const char* kDriverMissingText =
    "The driver TVicHW32 can not be found!\nProgram Terminated !";
inline constexpr const char* kDriverMissingCaption = " Warning! ";

// How a program opens the driver. The console cannot run without it; the update tool makes
// the driver's post-open call, warns with its own text and carries on.
struct DriverStartup {
  const char* missingText;
  bool postOpen;
  bool carriesOnWithout;
};
inline constexpr DriverStartup kConsoleDriverStartup{kDriverMissingText, false, false};

// Opens the driver into the process-wide handle and returns whether it is active. When it is
// not, the user is warned (after a beep); a program that cannot go on without it gets false
// with the driver not switched on, and must end.
bool OpenPortDriver(const DriverStartup& startup = kConsoleDriverStartup);

// Fills LptBaseTable with the bases the driver reports (0 = none) and makes the first of
// the first three found the port in use; with none found LptBase keeps its value.
void DetectLptPorts(LinkState& state);

}  // namespace console
