#include "buffer/core/GridRepaint.h"

namespace buffer {
namespace {

bool Differs(const std::vector<std::string>& shown, const std::vector<std::string>& next,
             int columns, int shift, int row, int column) {
  const int rows = static_cast<int>(next.size()) / columns;
  const int from = row + shift;
  if (from < 0 || from >= rows) return true;
  return next[static_cast<std::size_t>(row * columns + column)] !=
         shown[static_cast<std::size_t>(from * columns + column)];
}

// The cells left to draw after a move by `shift`, counted only up to `limit`: a count that
// reaches it loses to the best move found so far anyway.
int CountDiffering(const std::vector<std::string>& shown, const std::vector<std::string>& next,
                   int columns, int shift, int limit) {
  const int rows = static_cast<int>(next.size()) / columns;
  int count = 0;
  for (int r = 0; r < rows && count < limit; ++r) {
    for (int c = 0; c < columns; ++c) count += Differs(shown, next, columns, shift, r, c);
  }
  return count;
}

}  // namespace

GridRepaint PlanRepaint(const std::vector<std::string>& shown,
                        const std::vector<std::string>& next, int columns) {
  GridRepaint plan;
  const int count = static_cast<int>(next.size());
  if (columns <= 0 || shown.size() != next.size()) {
    for (int i = 0; i < count; ++i) plan.cells.push_back(i);
    return plan;
  }
  const int rows = count / columns;
  int best = CountDiffering(shown, next, columns, 0, count + 1);
  // A move by s rows leaves at least s rows to draw: past the best count no move can win.
  for (int s = 1; s < rows && s * columns < best; ++s) {
    for (const int shift : {s, -s}) {
      const int differing = CountDiffering(shown, next, columns, shift, best);
      if (differing >= best) continue;
      best = differing;
      plan.shift = shift;
    }
  }
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      if (Differs(shown, next, columns, plan.shift, r, c)) plan.cells.push_back(r * columns + c);
    }
  }
  return plan;
}

}  // namespace buffer
