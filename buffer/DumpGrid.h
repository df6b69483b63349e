#pragma once
// One of the Dump Edit's six grids: a table that shows what the grid editor holds and feeds
// it focus, mouse, key and typed-character events. It never edits its cells itself.
#include <QTableWidget>

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
  // Brings the cells and the cursor in line with the editor: only the visible data rows,
  // and only the cells whose text changed.
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

  GridEditor& editor_;
  GridId grid_;
  WheelRows wheel_;
};

}  // namespace buffer
