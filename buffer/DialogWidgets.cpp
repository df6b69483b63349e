#include "buffer/DialogWidgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "buffer/core/EditProfile.h"
#include "platform/winapi/qt/SelectOnFocus.h"

namespace buffer {

QPushButton* MakeButton(const char* name, const char* caption, const char* hint) {
  auto* button = new QPushButton(caption);
  button->setObjectName(name);
  button->setToolTip(hint);
  button->setAutoDefault(false);
  return button;
}

QLineEdit* MakeEdit(const char* name, const char* hint) {
  auto* edit = new QLineEdit;
  edit->setObjectName(name);
  if (*hint) edit->setToolTip(hint);
  winapi::SelectAllOnFocus(edit);
  return edit;
}

QLabel* MakeLabel(const char* name, const char* text) {
  auto* label = new QLabel(text);
  label->setObjectName(name);
  return label;
}

void LayOutIcButton(QPushButton* button, const EditProfile& profile) {
  if (profile.icRangeButtonShown) return;
  button->setFixedWidth(0);
  button->setFocusPolicy(Qt::NoFocus);
}

}  // namespace buffer
