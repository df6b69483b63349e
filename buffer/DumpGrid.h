#pragma once
// One of the Dump Edit's six grids: a table that shows what the grid editor holds and feeds
// it focus, mouse, key and typed-character events. It never edits its cells itself.
#include <QTableWidget>
#include <string>
#include <vector>

#include "buffer/core/GridEditor.h"

class QWheelEvent;

namespace buffer {

// Turns wheel turns into rows of the view: one row a notch (toward the end when the wheel
// turns toward the user); the parts of a notch that fine-grained wheels send add up.
class WheelRows {
 public:
  int Take(const QWheelEvent& event);

 private:
  int pending_ = 0;
};

class DumpGrid : public QTableWidget {
  Q_OBJECT

 public:
  // Each cell is as wide as that many digits of the grid's font.
  DumpGrid(GridEditor& editor, GridId grid, int cellDigits, QWidget* parent = nullptr);

  GridId grid() const { return grid_; }
  // Brings the cells and the cursor in line with the editor. Only what changed is drawn
  // again: after a scroll the rows' pixels move and the rows that came into view are drawn.
  void ShowEditor();

 signals:
  // Any event that may have changed what the editor holds.
  void Changed();
  // A mouse press on a cell: the form comes to the top.
  void Clicked();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void SetUpHeaders(int columnWidth);
  void CreateCells();
  // The editor's data rows, row by row.
  std::vector<std::string> EditorTexts() const;
  // Draws again what differs between the shown texts and the next ones.
  void Repaint(const std::vector<std::string>& next);
  void UpdateCell(int row, int column);

  GridEditor& editor_;
  GridId grid_;
  WheelRows wheel_;
  // The texts the cells hold, as EditorTexts gave them.
  std::vector<std::string> shown_;
};

}  // namespace buffer
