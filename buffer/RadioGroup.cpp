#include "buffer/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace buffer {

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
  auto* layout = new QVBoxLayout(this);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    group_->addButton(button, i);
    layout->addWidget(button);
    buttons_.push_back(button);
  }
  connect(group_, &QButtonGroup::idClicked, this, [this](int id) {
    if (id == index_) return;
    index_ = id;
    emit Click();
  });
}

void TRadioGroup::SetItemIndex(int index) {
  if (index == index_ || index < 0 || index >= static_cast<int>(buttons_.size())) return;
  index_ = index;
  buttons_[static_cast<size_t>(index)]->setChecked(true);
  emit Click();
}

}  // namespace buffer
