#pragma once
// The init form shown during the pause before the update run looks for the programmer's port.
#include <QDialog>
#include <QLabel>

namespace update {

class TInitForm : public QDialog {
  Q_OBJECT

 public:
  explicit TInitForm(QWidget* parent = nullptr);
  QLabel* Label1;
};

// Sizes the form to its contents and puts it in the middle of its screen.
void CentreOnScreen(QWidget& form);

}  // namespace update
