#include "buffer/core/DumpView.h"

#include <algorithm>

namespace buffer {

void DumpView::ResetForSize(std::int32_t bufSize) {
  maxRow_ = bufSize / kRowBytes - profile_.maxRowMargin;
  barMaximum_ = std::clamp(maxRow_, 0, kPageRows);
  pageNo_ = topRow_ = 0;
  barPosition_[0] = barPosition_[1] = 0;
}

void DumpView::MoveToRow(std::int64_t row) {
  ShowFromRow(std::clamp<std::int64_t>(row, 0, LastRow()));
}

void DumpView::ShowFromRow(std::int64_t row) {
  row = std::max<std::int64_t>(row, 0);
  pageNo_ = static_cast<std::int32_t>(row / kPageRows);
  topRow_ = static_cast<std::int32_t>(row % kPageRows);
  barPosition_[0] = barPosition_[1] = topRow_;
}

bool DumpView::Scroll(ScrollBarId, ScrollCode code, std::int32_t position) {
  // The bar's own step is one row; a page adds the profile's step on top of it.
  const std::int64_t page = 1 + profile_.pageStep;
  switch (code) {
    case ScrollCode::LineUp: MoveToRow(FirstRow() - 1); return true;
    case ScrollCode::LineDown: MoveToRow(FirstRow() + 1); return true;
    case ScrollCode::PageUp: MoveToRow(FirstRow() - page); return true;
    case ScrollCode::PageDown: MoveToRow(FirstRow() + page); return true;
    case ScrollCode::EndScroll: PlaceInPage(position); return true;
    case ScrollCode::Other: return false;
  }
  return false;
}

void DumpView::PlaceInPage(std::int32_t position) {
  const std::int64_t room = std::int64_t{LastRow()} - std::int64_t{pageNo_} * kPageRows;
  const std::int64_t last = std::clamp<std::int64_t>(room, 0, kPageRows);
  topRow_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(position, 0, last));
  barPosition_[0] = barPosition_[1] = topRow_;
}

void DumpView::JumpToAddress(std::int64_t address, std::int32_t bufSize) {
  const std::int64_t last = std::int64_t{bufSize} - profile_.JumpMarginBytes();
  if (address >= last) address = last;
  if (address < 0) address = 0;
  pageNo_ = static_cast<std::int32_t>(address / (std::int64_t{kPageRows} * kRowBytes));
  topRow_ = static_cast<std::int32_t>((address / kRowBytes) % kPageRows);
  barPosition_[0] = barPosition_[1] = topRow_;
}

}  // namespace buffer
