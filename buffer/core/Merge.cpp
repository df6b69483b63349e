#include "buffer/core/Merge.h"

#include <algorithm>
#include <cstring>

#include "buffer/core/Progress.h"
#include "buffer/core/SettingsPath.h"
#include "platform/winapi/IniFile.h"

namespace buffer {
namespace {

using Block = std::vector<std::uint8_t>;

constexpr std::int64_t kGrowthUnit = 0x10000;
constexpr int kOdd = 2;  // [LoadDlg] EvenOdd: 1 'Even', 2 'Odd'

// Which splits a stride-2 merge may make.
enum class Splits { BytesOnly, BytesOrWords };

void Free(Block& source) { Block().swap(source); }

// Resizes to `size` when the buffer is shorter than `end`; false when that failed.
bool GrowTo(DumpEditCore& form, std::int64_t end, std::int64_t size) {
  if (form.buffer().BufSize() >= end) return true;
  // A size beyond 32 bits is refused by the buffer like any other it cannot have.
  return form.ResizeBuffer(static_cast<std::uint32_t>(std::min<std::int64_t>(size, UINT32_MAX)));
}

// The bytes of the block a merge may read: the length, but never past the block.
std::int64_t Available(const Block& source, std::int32_t length) {
  return std::clamp<std::int64_t>(length, 0, static_cast<std::int64_t>(source.size()));
}

// The first offset k >= 0 such that start + k leaves `remainder` when divided by `modulus`.
std::int64_t ParityOffset(std::int64_t start, std::int64_t modulus, std::int64_t remainder) {
  return ((remainder - start) % modulus + modulus) % modulus;
}

// Source indices [first, end) to buffer addresses destination + index, clipped to the
// buffer.
struct Placement {
  std::int64_t first;
  std::int64_t end;
};
Placement Clip(std::int64_t first, std::int64_t end, std::int64_t destination,
               std::int64_t bufSize) {
  return {std::max(first, -destination), std::min(end, bufSize - destination)};
}

void CopyPlain(const BufferLock& lock, const Block& source, std::int64_t available,
               std::int64_t destination) {
  const Placement at = Clip(0, available, destination, lock.size());
  if (at.first < at.end) {
    std::memcpy(lock.data() + destination + at.first, source.data() + at.first,
                static_cast<std::size_t>(at.end - at.first));
  }
}

// Source bytes k0, k0 + 2, ... to destination, destination + 1, ...
void CopyByteSplit(const BufferLock& lock, const Block& source, std::int64_t available,
                   std::int64_t destination, std::int64_t k0) {
  const std::int64_t bytes = available > k0 ? (available - k0 + 1) / 2 : 0;
  const Placement at = Clip(0, bytes, destination, lock.size());
  for (std::int64_t j = at.first; j < at.end; ++j) {
    lock[static_cast<std::size_t>(destination + j)] = source[static_cast<std::size_t>(k0 + 2 * j)];
  }
}

// Source words at k0, k0 + 4, ... to destination, destination + 2, ...; a second byte past
// the data reads 0x00.
void CopyWordSplit(const BufferLock& lock, const Block& source, std::int64_t available,
                   std::int64_t destination, std::int64_t k0) {
  const std::int64_t words = available > k0 ? (available - k0 + 3) / 4 : 0;
  const Placement at = Clip(0, 2 * words, destination, lock.size());
  for (std::int64_t b = at.first; b < at.end; ++b) {
    const std::int64_t index = k0 + 4 * (b / 2) + b % 2;
    lock[static_cast<std::size_t>(destination + b)] =
        index < available ? source[static_cast<std::size_t>(index)] : 0x00;
  }
}

void Place(DumpEditCore& form, const Block& source, std::int32_t length,
           std::int32_t destination, std::int32_t stride, Splits splits) {
  BufferLock lock(form.buffer());
  if (!lock.data()) return;
  const std::int64_t available = Available(source, length);
  if (stride != kSplitStride) {
    CopyPlain(lock, source, available, destination);
    return;
  }
  TIniFile ini(SettingsPath());
  const bool odd = ini.ReadInteger("LoadDlg", "EvenOdd", 1) == kOdd;
  const bool words = splits == Splits::BytesOrWords &&
                     ini.ReadInteger("LoadDlg", "EvenOddByteWord", 1) == 1;
  const std::int64_t s0 = form.fields().FileStartAdd;
  if (words) {
    CopyWordSplit(lock, source, available, destination, ParityOffset(s0, 4, odd ? 2 : 0));
  } else {
    CopyByteSplit(lock, source, available, destination, ParityOffset(s0, 2, odd ? 1 : 0));
  }
}

void FillAddresses(const BufferLock& lock, ProgressRun& run, std::int64_t first,
                   std::int64_t end, std::uint8_t fill) {
  first = std::max<std::int64_t>(first, 0);
  end = std::min<std::int64_t>(end, lock.size());
  if (first >= end) return;
  run.Run(first, end - 1, [&](std::int64_t from, std::int64_t to) {
    std::memset(lock.data() + from, fill, static_cast<std::size_t>(to - from));
  });
}

// Source indices [first, end) to destination + index with progress, clipped to the buffer.
void CopyStepped(const BufferLock& lock, ProgressRun& run, const Block& source,
                 std::int64_t end, std::int64_t destination) {
  const Placement at = Clip(0, end, destination, lock.size());
  if (at.first >= at.end) return;
  run.Run(at.first, at.end - 1, [&](std::int64_t from, std::int64_t to) {
    std::memcpy(lock.data() + destination + from, source.data() + from,
                static_cast<std::size_t>(to - from));
  });
}

void EndLoading(ProgressRun& run, Block& source) {
  Free(source);
  run.SetCaption("Waiting...");
  run.Finish();
}

}  // namespace

std::int64_t MergeGrowthSize(std::int64_t end) { return (end / kGrowthUnit + 1) * kGrowthUnit; }

bool MergeSplitWithFill(DumpEditCore& form, std::vector<std::uint8_t> source,
                        std::int32_t length, std::int32_t destination, std::uint8_t fill,
                        std::int32_t stride) {
  const std::int64_t end = std::int64_t{length} + destination;
  if (!GrowTo(form, end, MergeGrowthSize(end))) return false;
  form.FillBuffer(fill);
  Place(form, source, length, destination, stride, Splits::BytesOrWords);
  return true;
}

bool MergeSplit(DumpEditCore& form, std::vector<std::uint8_t> source, std::int32_t length,
                std::int32_t destination, std::int32_t stride) {
  const std::int64_t end = std::int64_t{length} + destination;
  if (!GrowTo(form, end, MergeGrowthSize(end))) return false;
  Place(form, source, length, destination, stride, Splits::BytesOnly);
  return true;
}

bool MergeWithSplitMode(DumpEditCore& form, std::vector<std::uint8_t> source,
                        std::int32_t length, std::int32_t destination, std::uint8_t fill) {
  form.fields().SplitMode = 0;
  const std::int64_t end = std::int64_t{length} + destination;
  if (!GrowTo(form, end, MergeGrowthSize(end))) return false;
  BufferLock lock(form.buffer());
  if (!lock.data()) return false;
  ProgressRun run("Loading...", end < lock.size() ? lock.size() : length);
  FillAddresses(lock, run, 0, destination, fill);
  CopyStepped(lock, run, source, Available(source, length), destination);
  if (end < lock.size()) FillAddresses(lock, run, end, lock.size(), fill);
  EndLoading(run, source);
  return true;
}

bool MergeData(DumpEditCore& form, std::vector<std::uint8_t> source, std::int32_t length,
               std::int32_t destination) {
  const std::int64_t end = std::int64_t{length} + destination;
  if (!GrowTo(form, end, end)) return false;
  BufferLock lock(form.buffer());
  if (!lock.data()) return false;
  ProgressRun run("Loading...", length);
  // The block covers the buffer from the destination to its end, as far as it reaches.
  const std::int64_t n = std::max<std::int64_t>(length, lock.size() - destination);
  CopyStepped(lock, run, source, std::min<std::int64_t>(n, std::ssize(source)), destination);
  EndLoading(run, source);
  return true;
}

}  // namespace buffer
