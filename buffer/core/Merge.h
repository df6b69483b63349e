#pragma once
// The last step of every file load: placing a reader's bytes into the Dump Edit's buffer.
//
// How a loader calls them: read or parse the file into a byte block (index 0 holds the
// first loaded byte: the byte at file address FileStartAdd for binary and .com loads, hex
// address 0 for the hex formats' images), set form.fields().FileStartAdd to the source
// start address (the split parity is taken from it), then std::move the block into one
// merge with the length to place and the destination buffer address ([LoadDlg] DistSAdd):
//   - Intel Hex, Tektronix, POF, .exe, .com and binary loads: MergeSplitWithFill (fill =
//     [LoadDlg] UserFill) when [LoadDlg] UnuserFillCheck is 1, else MergeSplit; stride 1,
//     or 2 for .com and binary loads whose [LoadDlg] EvenOdd is not 0.
//   - Motorola S loads: MergeWithSplitMode (fill = UserFill) when UnuserFillCheck is 1,
//     else MergeData, whose block must cover the buffer from the destination to its end.
// Afterwards set FileStartAdd and FileSize, refresh the grids and report the checksum.
//
// Each merge owns the block from the call on and frees it before it returns, whatever
// happens. Nothing is written outside [0, BufSize) (a negative destination places only the
// bytes that land inside), nothing is read past the block, and a merge whose buffer must
// grow but cannot is abandoned after the "Memory error !" box: it returns false with the
// buffer as it was. None sets Modified.
#include <cstdint>
#include <vector>

#include "buffer/core/DumpEditCore.h"

namespace buffer {

// Stride 2 divides one file between the two chips of a 16-bit bus.
inline constexpr std::int32_t kPlainStride = 1;
inline constexpr std::int32_t kSplitStride = 2;

// The buffer size a merge grows to when BufSize < end (= length + destination): the next
// multiple of 0x10000 strictly above the end.
std::int64_t MergeGrowthSize(std::int64_t end);

// Grows the buffer when it is short of length + destination, fills all of it with `fill`,
// then places the bytes: stride 1 all of them at the destination; stride 2 the even or odd
// bytes ([LoadDlg] EvenOdd 1 'Even', 2 'Odd') or, when [LoadDlg] EvenOddByteWord is 1, the
// even or odd 16-bit words, counted from the file address FileStartAdd. A last word whose
// second byte lies past the length takes 0x00 for it. No progress.
bool MergeSplitWithFill(DumpEditCore& form, std::vector<std::uint8_t> source,
                        std::int32_t length, std::int32_t destination, std::uint8_t fill,
                        std::int32_t stride);

// As MergeSplitWithFill without the fill (bytes the data do not reach keep their contents);
// stride 2 is always a byte split.
bool MergeSplit(DumpEditCore& form, std::vector<std::uint8_t> source, std::int32_t length,
                std::int32_t destination, std::int32_t stride);

// Sets SplitMode to 0, grows the buffer when needed, then fills below the destination,
// places the bytes and fills above them, in a "Loading..." window that ends "Waiting...".
bool MergeWithSplitMode(DumpEditCore& form, std::vector<std::uint8_t> source,
                        std::int32_t length, std::int32_t destination, std::uint8_t fill);

// Grows the buffer to exactly length + destination when it is shorter, then copies the
// block over the buffer from the destination to its end (as far as the block reaches), in
// a "Loading..." window that ends "Waiting...".
bool MergeData(DumpEditCore& form, std::vector<std::uint8_t> source, std::int32_t length,
               std::int32_t destination);

}  // namespace buffer
