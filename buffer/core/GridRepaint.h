#pragma once
// How a grid goes from the texts it shows to new ones with the least drawing. A scroll of the
// view moves every text by whole rows, so the rows' pixels can be moved along with them and
// only the rows that came into view drawn; an edit changes a cell or two; a jump changes all.
#include <string>
#include <vector>

namespace buffer {

struct GridRepaint {
  // New row r shows what row r + shift showed: the pixels move by -shift rows first.
  int shift = 0;
  // The cells, row * columns + column, that still differ after the move and are drawn again.
  std::vector<int> cells;
};

// Both tables hold the data rows' texts row by row. A shown table of another size (nothing
// shown yet) has every cell drawn.
GridRepaint PlanRepaint(const std::vector<std::string>& shown,
                        const std::vector<std::string>& next, int columns);

}  // namespace buffer
