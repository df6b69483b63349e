#pragma once
// The Dump Edit's Search and Search Next: a byte sequence of up to ten bytes, held as hex
// text in the form's SearchPattern, looked for forward or backward from the cursor. The
// byte under the cursor is never a candidate, the search does not wrap, and a match lies
// wholly inside BufSize.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "buffer/core/DumpEditCore.h"
#include "buffer/core/Messages.h"

namespace buffer {

namespace messages {
inline constexpr Message kSearchNotFound{"NOT FOUND DATA !", "SEARCH", winapi::MB_OK};
}  // namespace messages

// The pattern's bytes: two hex digits a byte; a last single digit is a byte of its own.
std::vector<std::uint8_t> PatternBytes(std::string_view hexText);

// The first match after `cursor` (forward) or before it (backward) among the `size`
// bytes; nothing for an empty pattern or no match.
std::optional<std::int64_t> FindForward(const std::uint8_t* bytes, std::int64_t size,
                                        std::span<const std::uint8_t> pattern,
                                        std::int64_t cursor);
std::optional<std::int64_t> FindBackward(const std::uint8_t* bytes, std::int64_t size,
                                         std::span<const std::uint8_t> pattern,
                                         std::int64_t cursor);

// The grid row (1 = the first data row) the cursor shows a match at `address` in: the view
// starts at the match's row, but no further than MaxRow, where the scroll bars end; a match
// that would then lie below the rows shown (the update tool shows fewer rows than MaxRow
// leaves below it) is shown on the last row.
int MatchRow(std::int64_t address, std::int32_t maxRow, int rowsShown);

// Search SearchPattern after (before) `cursor`. A match becomes the cursor of both pages,
// with the view placed by MatchRow, and the grids are redrawn; an empty pattern or no match
// shows "NOT FOUND DATA !" and leaves the view. True when found.
bool SearchForward(DumpEditCore& form, std::int64_t cursor);
bool SearchBackward(DumpEditCore& form, std::int64_t cursor);

}  // namespace buffer
