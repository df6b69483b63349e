#pragma once
// The Fill command's buffer side: the patterns the Fill Data dialog offers besides a
// constant byte, and the fill that follows a confirmed dialog ([FillDataDlg]).
#include <cstdint>

#include "buffer/core/DumpEditCore.h"
#include "buffer/core/RangeDialogRules.h"

namespace buffer {

inline constexpr const char* kFillDataSection = "FillDataDlg";

// The Fill Data dialog's range buttons write the end edits first.
inline constexpr RangeDialogLayout kFillRangeLayout{
    .wordTwins = true,
    .buttonOrder = {RangeEdit::ByteEnd, RangeEdit::WordEnd, RangeEdit::ByteStart,
                    RangeEdit::WordStart},
    .fileOrder = {RangeEdit::ByteEnd, RangeEdit::WordEnd, RangeEdit::ByteStart,
                  RangeEdit::WordStart},
    .fileStartsAtZero = false,
};

// The kinds of FillPattern, as the dialog's 'Random Data', 'Sequential Byte' and
// 'Sequential Word' items hand them over.
enum class FillKind { Random = 0, SequentialByte = 1, SequentialWord = 2 };

// Writes [start..end] (end included):
//   Random         the low 8 bits of successive values of a generator seeded with the
//                  clock's seconds, so two fills within one second write the same bytes;
//   SequentialByte each byte the low 8 bits of its own address;
//   SequentialWord from start on, each 16-bit word the low 16 bits of its own byte address,
//                  high byte first; a lone last byte gets the high byte (nothing past end).
// With progress steps (position 0 first, Finish last) in the window the caller shows.
// Nothing for start >= end, or for a range reaching outside the buffer.
void FillPattern(DumpEditCore& form, std::int32_t start, std::int32_t end, FillKind kind);

// What the Fill command does after the dialog answered OK: [FillDataDlg] StartAdd..EndAdd
// (nothing when EndAdd is below 1; clipped to the buffer, since the file may have been
// edited) filled with UserData when UserCheck is set, else by Select: 0 all FF, 1 all 00,
// 2..4 the patterns, others nothing. The progress window is shown around it (no caption of
// its own) and the grids are redrawn before it closes. Modified stays as it was.
void FillFromDialog(DumpEditCore& form);

}  // namespace buffer
