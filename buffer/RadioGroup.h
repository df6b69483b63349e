#pragma once
// A captioned group of radio buttons that behaves like the form framework's radio group:
// setting its index from code fires the same click as a user's choice, when the index
// changes.
#include <QGroupBox>
#include <QStringList>
#include <functional>
#include <vector>

class QButtonGroup;
class QRadioButton;

namespace buffer {

class TRadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

  // -1 while nothing is chosen.
  int ItemIndex() const { return index_; }
  void SetItemIndex(int index);
  QRadioButton* Button(int index) const { return buttons_.at(static_cast<size_t>(index)); }

 signals:
  // A choice by the user or by SetItemIndex that changed the index.
  void Click();

 private:
  QButtonGroup* group_;
  std::vector<QRadioButton*> buttons_;
  int index_ = -1;
};

}  // namespace buffer
