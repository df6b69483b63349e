#pragma once
// The data buffer: an owned, zero-initialised block that always carries slack past BufSize
// (1024 bytes when created, 2000 after every resize), so inclusive end bounds and byte-pair
// reads at the very end stay inside the block. Nobody keeps a pointer into it: every operation
// takes a Lock for its own run, and a resize is refused while a lock is held.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace buffer {

// Decides whether an allocation of that many bytes may succeed; tests install one to make
// allocations fail. The previous gate is returned.
using AllocationGate = std::function<bool(std::size_t bytes)>;
AllocationGate SetAllocationGate(AllocationGate gate);

class DataBuffer;

// A scoped view of the block: valid until it is destroyed, never across a resize.
class BufferLock {
 public:
  explicit BufferLock(DataBuffer& buffer);
  ~BufferLock();
  BufferLock(const BufferLock&) = delete;
  BufferLock& operator=(const BufferLock&) = delete;

  std::uint8_t* data() const { return data_; }
  std::uint8_t& operator[](std::size_t index) const { return data_[index]; }
  // BufSize at the time of locking; the block holds slack beyond it.
  std::int32_t size() const { return size_; }

 private:
  DataBuffer& buffer_;
  std::uint8_t* data_;
  std::int32_t size_;
};

class DataBuffer {
 public:
  static constexpr std::size_t kCreateSlack = 1024;
  static constexpr std::size_t kResizeSlack = 2000;

  DataBuffer() = default;
  DataBuffer(const DataBuffer&) = delete;
  DataBuffer& operator=(const DataBuffer&) = delete;

  // A fresh block of size bytes of fill plus the creation slack; an earlier block is freed
  // first. False (and no block) when the memory cannot be had.
  bool Create(std::uint32_t size, std::uint8_t fill);
  // Reallocates to size plus the resize slack, keeping the bytes below the smaller size and
  // writing tailFill from the old BufSize up to the new one. False with nothing changed when
  // the memory cannot be had.
  bool Resize(std::uint32_t size, std::uint8_t tailFill);
  void Free();
  // While a lock is held, Create and Resize answer false and Free does nothing.

  bool exists() const { return block_ != nullptr; }
  std::int32_t BufSize() const { return size_; }
  // Nonzero while a block exists; it names the buffer, it is not an address.
  std::int32_t Handle() const { return handle_; }
  std::size_t BlockSize() const { return capacity_; }
  bool locked() const { return locks_ > 0; }

  // Every byte of [0, BufSize) := value.
  void Fill(std::uint8_t value);

 private:
  friend class BufferLock;
  bool Allocate(std::size_t bytes, std::unique_ptr<std::uint8_t[]>& out);

  std::unique_ptr<std::uint8_t[]> block_;
  std::size_t capacity_ = 0;
  std::int32_t size_ = 0;
  std::int32_t handle_ = 0;
  int locks_ = 0;
};

}  // namespace buffer
