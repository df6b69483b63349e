#pragma once
// The format bench as a measuring tool for any file:
//   format_bench load IN OUT.bin          IN through the load dispatcher with detection into a
//                                          fresh console buffer, the buffer from 0 through the
//                                          last loaded byte written to OUT.bin as binary
//   format_bench save IN.bin FORMAT OUT   IN.bin loaded as binary, all of it saved as FORMAT
// Boxes go to stderr and answer as if OK was pressed; a refused file exits with 1.

namespace formatbench {

// True when argv[1] names a command (the benchmark suite runs otherwise).
bool IsCommand(int argc, char** argv);
int RunCommand(int argc, char** argv);

}  // namespace formatbench
