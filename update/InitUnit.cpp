#include "update/InitUnit.h"

#include <QScreen>
#include <QVBoxLayout>

#include "platform/winapi/qt/TitleWidth.h"

namespace update {

void CentreOnScreen(QWidget& form) {
  form.adjustSize();
  if (const QScreen* screen = form.screen()) form.move(screen->availableGeometry().center() - form.rect().center());
}

TInitForm::TInitForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("InitForm");
  setWindowTitle("Message");
  Label1 = new QLabel("System initial ,Please wait......", this);
  Label1->setStyleSheet("color: red;");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 18, 24, 18);
  layout->addWidget(Label1);
  setMinimumWidth(winapi::TitleBarWidth(*this));
  CentreOnScreen(*this);
}

}  // namespace update
