#include "buffer/FileDialogParts.h"

#include <QBoxLayout>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "buffer/HexEntry.h"
#include "buffer/Hstcbo.h"
#include "buffer/core/FileFilter.h"
#include "platform/winapi/qt/SelectOnFocus.h"
#include "platform/winapi/Paths.h"

namespace buffer {

QPushButton* MakeDialogButton(QWidget* parent, const char* name, const char* text,
                              const char* hint) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setToolTip(hint);
  button->setAutoDefault(false);
  return button;
}

QLineEdit* MakeAddressEdit(QWidget* parent, const char* name, const char* hint, int digits,
                           HexKeyRule rule) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setToolTip(hint);
  edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QString(digits + 1, 'W')));
  MakeHexEdit(edit, digits, rule);
  winapi::SelectAllOnFocus(edit);
  return edit;
}

THistoryComboBox* MakeNameEdit(QWidget* parent, const char* historySection, int historyLength) {
  auto* name = new THistoryComboBox(parent);
  name->setObjectName("NameEdit");
  name->IniSection = historySection;
  name->MaxHistoryLength = historyLength;
  name->setMinimumWidth(name->fontMetrics().horizontalAdvance(QString(40, 'x')));
  winapi::SelectAllOnFocus(name);
  return name;
}

std::string TakeStoredName(THistoryComboBox& box) {
  const std::string name = winapi::StoredName(box.Text());
  if (name != box.Text()) {
    const QSignalBlocker quiet(box);
    box.SetText(name);
  }
  return name;
}

std::unique_ptr<QFileDialog> MakeBrowseDialog(QWidget* parent, const char* windowsFilter,
                                              QFileDialog::FileMode mode) {
  auto dialog = std::make_unique<QFileDialog>(parent);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setFileMode(mode);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  QStringList filters;
  for (const std::string& filter : NameFilters(windowsFilter))
    filters << QString::fromStdString(filter);
  dialog->setNameFilters(filters);
  // "*.BIN" is a binary file as much as "*.bin".
  dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);
  return dialog;
}

void LayOutFileDialog(QWidget* dialog, QWidget* nameEdit, QWidget* browse, QWidget* formats,
                      QLayout* middle, QWidget* accept, QWidget* cancel) {
  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(new QLabel("Name :", dialog));
  nameRow->addWidget(nameEdit, 1);
  nameRow->addWidget(browse);
  auto* answers = new QVBoxLayout;
  answers->addWidget(accept);
  answers->addWidget(cancel);
  answers->addStretch(1);
  auto* body = new QHBoxLayout;
  body->addWidget(formats);
  body->addLayout(middle);
  body->addLayout(answers);
  auto* layout = new QVBoxLayout(dialog);
  layout->addLayout(nameRow);
  layout->addLayout(body);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace buffer
