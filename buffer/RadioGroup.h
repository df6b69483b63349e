#pragma once
// A titled group of radio buttons addressed by index, as the dialogs use it. Its Click
// signal follows every change of the index, from the user or from code, because the
// dialogs' handlers rely on setting the index running them.
#include <QGroupBox>
#include <QStringList>

class QAbstractButton;
class QButtonGroup;

namespace buffer {

class TRadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  // The items fill the columns one after the other, top to bottom.
  TRadioGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr,
              int columns = 1);

  // -1 while no item is chosen.
  int ItemIndex() const;
  // Chooses the item; Click follows when the index changes. An index outside the items
  // changes nothing.
  void SetItemIndex(int index);
  int Count() const;
  QAbstractButton* Button(int index) const;

 signals:
  void Click(int index);

 private:
  void MakeTabStop(int index);

  QButtonGroup* buttons_;
};

}  // namespace buffer
