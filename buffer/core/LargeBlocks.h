#pragma once
// Loads of many megabytes spend more time on the kernel handing out fresh pages than on
// parsing: a block that big is asked to come in large pages, where the system grants them.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace buffer {

// Asks for large pages over the whole 2 MiB stretches of `bytes` .. `bytes` + `count`; best
// effort, and nothing for a block below a few large pages. Call it before the first write.
void AdviseLargePages(void* bytes, std::size_t count);

// Reserves room for `count` bytes and advises its untouched part.
void ReserveLargeBlock(std::vector<std::uint8_t>& block, std::size_t count);

}  // namespace buffer
