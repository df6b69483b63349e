#include "buffer/core/LargeBlocks.h"

#include <sys/mman.h>

namespace buffer {
namespace {

constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
constexpr std::size_t kWorthAdvising = 4 * kLargePage;

}  // namespace

void AdviseLargePages(void* bytes, std::size_t count) {
  if (bytes == nullptr || count < kWorthAdvising) return;
  const auto begin = reinterpret_cast<std::uintptr_t>(bytes);
  const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
  const std::uintptr_t last = (begin + count) & ~(kLargePage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

void ReserveLargeBlock(std::vector<std::uint8_t>& block, std::size_t count) {
  if (count <= block.capacity()) return;
  block.reserve(count);
  AdviseLargePages(block.data() + block.size(), block.capacity() - block.size());
}

}  // namespace buffer
