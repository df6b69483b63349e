#include "buffer/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QGridLayout>
#include <algorithm>

namespace buffer {

TRadioGroup::TRadioGroup(const QString& title, const QStringList& items, QWidget* parent,
                         int columns)
    : QGroupBox(title, parent), buttons_(new QButtonGroup(this)) {
  auto* layout = new QGridLayout(this);
  layout->setSpacing(2);
  columns = std::max(columns, 1);
  const int rows = std::max((static_cast<int>(items.size()) + columns - 1) / columns, 1);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    buttons_->addButton(button, i);
    layout->addWidget(button, i % rows, i / rows);
  }
  connect(buttons_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (!checked) return;
    MakeTabStop(id);
    emit Click(id);
  });
  MakeTabStop(-1);
}

void TRadioGroup::MakeTabStop(int index) {
  // Tab enters the group at its chosen item (the first while none is chosen), as users of
  // the original forms expect; Qt would stop at the first item, where Space changes the
  // choice. The arrows still move within the group.
  QAbstractButton* stop = buttons_->button(index) ? buttons_->button(index) : buttons_->button(0);
  for (QAbstractButton* button : buttons_->buttons())
    button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

int TRadioGroup::ItemIndex() const { return buttons_->checkedId(); }

int TRadioGroup::Count() const { return static_cast<int>(buttons_->buttons().size()); }

QAbstractButton* TRadioGroup::Button(int index) const { return buttons_->button(index); }

void TRadioGroup::SetItemIndex(int index) {
  if (QAbstractButton* button = buttons_->button(index)) button->setChecked(true);
}

}  // namespace buffer
