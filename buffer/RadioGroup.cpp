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
    if (checked) emit Click(id);
  });
}

int TRadioGroup::ItemIndex() const { return buttons_->checkedId(); }

int TRadioGroup::Count() const { return static_cast<int>(buttons_->buttons().size()); }

QAbstractButton* TRadioGroup::Button(int index) const { return buttons_->button(index); }

void TRadioGroup::SetItemIndex(int index) {
  if (QAbstractButton* button = buttons_->button(index)) button->setChecked(true);
}

}  // namespace buffer
