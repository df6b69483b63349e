#pragma once
// The Block command's buffer side: copy, move, mask and swap of a range, the action that
// follows a confirmed Block dialog ([BlockDlg]), and the sizes the dialog's resize track bar
// offers.
#include <cstdint>
#include <string_view>

#include "buffer/core/DataBuffer.h"
#include "buffer/core/DumpEditCore.h"
#include "buffer/core/FillData.h"

namespace buffer {

inline constexpr const char* kBlockSection = "BlockDlg";

// The Block dialog's range buttons write their edits as the Fill Data dialog's do.
inline constexpr RangeDialogLayout kBlockRangeLayout = kFillRangeLayout;

// The dialog's third item is Mask in the console's build and Swap in the update tool's.
enum class BlockAction { Copy = 0, Move = 1, Mask = 2, Swap = 2 };

// Addresses are byte addresses, end included. Each returns false, having changed nothing,
// when the buffer has no memory or a range does not lie wholly inside it.
// The destination receives the source as it was before, whatever the overlap. A destination
// equal to the start, or a start equal to the end, copies nothing.
bool BlockCopy(DataBuffer& buffer, std::int32_t start, std::int32_t end,
               std::int32_t destination);
// Copies as BlockCopy, then sets 00 over every source byte outside the destination. A
// destination equal to the start moves nothing.
bool BlockMove(DataBuffer& buffer, std::int32_t start, std::int32_t end,
               std::int32_t destination);
// ANDs each pair from start on with the 16-bit mask, its high byte at the pair's first
// address; a lone last byte is ANDed with the high byte. The range is clipped to the buffer.
bool BlockMask(DataBuffer& buffer, std::int32_t start, std::int32_t end, std::uint16_t mask);
// Exchanges byte i with byte i + (destination - start) for i = start, start + 1, ... end, in
// that order on the bytes as they stand: overlapping ranges come out rotated (00 01 02 03 04 05
// swapped [0..3] with 2 gives 02 03 04 05 00 01). A start equal to the end exchanges nothing.
bool BlockSwap(DataBuffer& buffer, std::int32_t start, std::int32_t end,
               std::int32_t destination);

// What the Block command does after the dialog answered OK: reads StartAdd, EndAdd,
// DistSAdd, Action and, in the console's build, MaskData; nothing when EndAdd is below 1 (in
// the update tool's build also when the destination is the start). Otherwise runs the action
// and redraws the grids, and returns true. Modified stays as it was; no progress is shown.
bool DoBlockAction(DumpEditCore& form);

// The resize track bar: positions 0..8 offer 0x10000 << position bytes.
inline constexpr int kTrackBarPositions = 8;
std::int32_t TrackBarSize(int position);
// The smallest position whose size holds the buffer; 8 for anything larger.
int TrackBarPositionFor(std::int32_t bufSize);
// The size the Resizing button asks for: the label's hex value within 0x10000..0x1000000.
std::int32_t ResizeTarget(std::string_view newSizeText);

}  // namespace buffer
