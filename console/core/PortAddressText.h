#pragma once
// The one reading of a port address typed as text (the DataPort setting, the port dialog):
// leading blanks skipped, an optional 0x, then hex digits up to the first character that is
// none. No digits give 0; a number beyond 32 bits gives 0xFFFFFFFF, as every hex field.
#include <cstdint>
#include <string>

namespace console {

uint32_t ParsePortAddress(const std::string& text);

}  // namespace console
