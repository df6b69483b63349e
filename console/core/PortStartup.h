#pragma once
// The console's use of the port driver at start-up: open it, refuse to go on without it,
// and find the parallel ports.
#include "console/core/LinkState.h"

namespace console {

inline constexpr const char* kDriverMissingText =
    "The driver TVicHW32 can not be found!\nProgram Terminated !";
inline constexpr const char* kDriverMissingCaption = " Warning! ";

// Opens the driver into the process-wide handle. When it is not active the user is warned
// and false comes back: the program must end. Otherwise the driver is switched on.
bool OpenPortDriver();

// Fills LptBaseTable with the bases the driver reports (0 = none) and makes the first of
// the first three found the port in use; with none found LptBase keeps its value.
void DetectLptPorts(LinkState& state);

}  // namespace console
