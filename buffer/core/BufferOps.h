#pragma once
// Whole-range operations of the Dump Edit on its buffer: the constant fill of a range and
// the byte, word and double-word swap of the whole buffer. Neither marks the buffer as
// edited (Modified).
#include <cstdint>

#include "buffer/core/DumpEditCore.h"

namespace buffer {

// Every byte of [start..end] := value, with progress steps in the window the caller shows
// and closes (it also refreshes the grids). Nothing, not even the final Finish, for a
// reversed or one-byte range or a range reaching outside the buffer.
void FillRange(DumpEditCore& form, std::int32_t start, std::int32_t end, std::uint8_t value);

// Exchanges each group of `unit` bytes (1, 2 or 4) with the group after it, pair by pair
// from address 0, in its own "Processing..." window, then redraws the grids. Only whole
// pairs inside the buffer are swapped: a last partial pair stays as it is. Other units do
// nothing.
void SwapBuffer(DumpEditCore& form, int unit);

}  // namespace buffer
