#pragma once
// A program's use of the port driver at start-up: open it, refuse to go on without it where
// the program cannot, and find the parallel ports.
#include <cstdint>
#include <span>

namespace qzlink {

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

// Fills the table with the bases the driver reports (0 = none) and makes the first of the
// first three found the port in use; with none found `base` keeps its value.
void DetectLptPorts(std::span<uint32_t> baseTable, uint32_t& base);

}  // namespace qzlink
