#pragma once
// TSearchDialog: the modal "Search Data" dialog. Unlike the other dialogs it talks to the
// Dump Edit directly: it shows the editor's cursor, buffer size, last pattern and direction,
// and on Search writes the new pattern, direction and the search request back into it.
#include <QDialog>
#include <QTableWidget>

#include "buffer/core/SearchCells.h"

class QLabel;
class QPushButton;

namespace buffer {

class TMainEdit;
class TRadioGroup;

// One row of ten cells showing one side of the SearchCells; it feeds them its focus,
// mouse and key events and never edits its cells itself.
class SearchGridView : public QTableWidget {
  Q_OBJECT

 public:
  SearchGridView(SearchCells& cells, SearchGrid grid, QWidget* parent = nullptr);
  void ShowCells();

 signals:
  void Changed();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent*) override {}
  void keyPressEvent(QKeyEvent* event) override;

 private:
  SearchCells& cells_;
  SearchGrid grid_;
};

class TSearchDialog : public QDialog {
  Q_OBJECT

 public:
  // The binary cells' keys go through the hex key filter with `hexKeyRule`.
  explicit TSearchDialog(HexKeyRule hexKeyRule = HexKeyRule::KeepBackspace,
                         QWidget* parent = nullptr);

  void AttachEditor(TMainEdit* editor) { Editor = editor; }
  // The editor's cursor, size, pattern and direction; run when the dialog first shows.
  void InitFromEditor();

  // The pattern of the binary cells into the editor; false (after a box) when no cell is
  // taken.
  bool ReadPattern();
  void SearchBtnClick();
  void CancelBtnClick();
  void ClearBtnClick();

  SearchCells& Cells() { return cells_; }

  QLabel* NowCurLabel;
  QLabel* BufSizeLabel;
  SearchGridView* AsciiSG;
  SearchGridView* BinSG;
  QPushButton* ClearBtn;
  TRadioGroup* RadioGroup1;
  QPushButton* SearchBtn;
  QPushButton* CancelBtn;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowCells();
  void SetFocusOrder();

  TMainEdit* Editor = nullptr;
  SearchCells cells_;
  bool initialised_ = false;
};

}  // namespace buffer
