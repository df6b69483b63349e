#pragma once
// Where the Dump Edit's view stands: row TopRow of page PageNo (rows of 16 bytes, pages of
// 0x7FFF rows), the highest row the view may start at, and the positions of the two scroll
// bars, which show TopRow within the page. Every move goes through one normalisation: the
// absolute row is clamped to 0..MaxRow and split into PageNo and TopRow.
#include <cstdint>

#include "buffer/core/EditProfile.h"

namespace buffer {

constexpr std::int32_t kPageRows = 0x7FFF;
constexpr std::int32_t kRowBytes = 16;

enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, EndScroll, Other };
enum class ScrollBarId { Bits8 = 0, Bits16 = 1 };

class DumpView {
 public:
  explicit DumpView(const EditProfile& profile) : profile_(profile) {}

  std::int32_t PageNo() const { return pageNo_; }
  std::int32_t TopRow() const { return topRow_; }
  std::int32_t MaxRow() const { return maxRow_; }
  std::int32_t BarMaximum() const { return barMaximum_; }
  std::int32_t BarPosition(ScrollBarId bar) const { return barPosition_[Index(bar)]; }

  // The absolute row of the view's first line and the buffer address of its first byte.
  std::int64_t FirstRow() const { return std::int64_t{pageNo_} * kPageRows + topRow_; }
  std::int64_t FirstAddress() const { return FirstRow() * kRowBytes; }
  // Byte address of grid row r (1 = the first data row) at byte column c.
  std::int64_t CellAddress(int gridRow, int column) const {
    return (FirstRow() + gridRow - 1) * kRowBytes + column;
  }

  // A new buffer size: MaxRow and the bars' maximum follow it, and the view and both bars go
  // back to the buffer start.
  void ResetForSize(std::int32_t bufSize);
  // Puts the view's first line on the given absolute row (normalised).
  void MoveToRow(std::int64_t row);
  // Puts the view's first line on the row, at least 0, split into PageNo and TopRow with
  // both bars. It may pass MaxRow, as a typed address may, to show the last full screen.
  void ShowFromRow(std::int64_t row);
  // A notification of one bar; position is where the bar itself put its thumb (only read at the
  // end of a scroll). Returns false for notifications that do not move the view.
  bool Scroll(ScrollBarId bar, ScrollCode code, std::int32_t position);
  // A typed view address: pulled back to the last full screen, negative to 0. Both bars
  // follow.
  void JumpToAddress(std::int64_t address, std::int32_t bufSize);

 private:
  static int Index(ScrollBarId bar) { return static_cast<int>(bar); }
  std::int32_t LastRow() const { return maxRow_ > 0 ? maxRow_ : 0; }
  // Puts the view's first line on the thumb's place within the current page, never past
  // MaxRow. The page's last place (0x7FFF, the first row of the next page) is kept as it is,
  // so a thumb at the bar's end stays there.
  void PlaceInPage(std::int32_t position);

  const EditProfile& profile_;
  std::int32_t pageNo_ = 0;
  std::int32_t topRow_ = 0;
  std::int32_t maxRow_ = 0;
  std::int32_t barMaximum_ = 0;
  std::int32_t barPosition_[2] = {0, 0};
};

}  // namespace buffer
