#include "buffer/core/DataBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "buffer/core/LargeBlocks.h"

namespace buffer {
namespace {

AllocationGate& Gate() {
  static AllocationGate gate;
  return gate;
}

std::int32_t NextHandle() {
  static std::int32_t last = 0;
  last = last == 0x7FFFFFFF ? 1 : last + 1;
  return last;
}

}  // namespace

AllocationGate SetAllocationGate(AllocationGate gate) {
  AllocationGate previous = std::move(Gate());
  Gate() = std::move(gate);
  return previous;
}

BufferLock::BufferLock(DataBuffer& buffer)
    : buffer_(buffer), data_(buffer.block_.get()), size_(buffer.size_) {
  ++buffer_.locks_;
}

BufferLock::~BufferLock() { --buffer_.locks_; }

bool DataBuffer::Allocate(std::size_t bytes, std::unique_ptr<std::uint8_t[]>& out) {
  if (Gate() && !Gate()(bytes)) return false;
  out.reset(new (std::nothrow) std::uint8_t[bytes]);
  if (out == nullptr) return false;
  AdviseLargePages(out.get(), bytes);
  std::memset(out.get(), 0, bytes);
  return true;
}

bool DataBuffer::Create(std::uint32_t size, std::uint8_t fill) {
  // A lock holder's pointer would dangle: refused in every build, like no memory.
  if (locked()) return false;
  Free();
  if (size > 0x7FFFFFFFu) return false;
  const std::size_t bytes = std::size_t{size} + kCreateSlack;
  if (!Allocate(bytes, block_)) return false;
  capacity_ = bytes;
  size_ = static_cast<std::int32_t>(size);
  handle_ = NextHandle();
  std::memset(block_.get(), fill, size);
  return true;
}

bool DataBuffer::Resize(std::uint32_t size, std::uint8_t tailFill) {
  if (locked()) return false;
  // BufSize is a signed 32-bit count everywhere it is used.
  if (size > 0x7FFFFFFFu) return false;
  const std::size_t bytes = std::size_t{size} + kResizeSlack;
  std::unique_ptr<std::uint8_t[]> grown;
  if (!Allocate(bytes, grown)) return false;
  const std::size_t oldSize = static_cast<std::uint32_t>(size_);
  if (block_) std::memcpy(grown.get(), block_.get(), std::min<std::size_t>(oldSize, size));
  if (size > oldSize) std::memset(grown.get() + oldSize, tailFill, size - oldSize);
  block_ = std::move(grown);
  capacity_ = bytes;
  size_ = static_cast<std::int32_t>(size);
  if (handle_ == 0) handle_ = NextHandle();
  return true;
}

void DataBuffer::Free() {
  if (locked()) return;
  block_.reset();
  capacity_ = 0;
  size_ = 0;
  handle_ = 0;
}

void DataBuffer::Fill(std::uint8_t value) {
  BufferLock lock(*this);
  if (lock.data()) std::memset(lock.data(), value, static_cast<std::uint32_t>(lock.size()));
}

}  // namespace buffer
