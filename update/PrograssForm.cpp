#include "update/PrograssForm.h"

#include <QFrame>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/winapi/qt/TitleWidth.h"

namespace update {
namespace {

void CentreOnScreen(QWidget& form) {
  form.adjustSize();
  if (const QScreen* screen = form.screen()) form.move(screen->availableGeometry().center() - form.rect().center());
}

}  // namespace

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

TUpDateForm::TUpDateForm(QWidget* parent) : QDialog(parent) {
  setObjectName("UpDateForm");
  setWindowTitle("Update Window.");
  Label1 = new QLabel("Current Action : Update ........", this);
  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Box | QFrame::Plain);
  ProgressGauge = new TCGauge(panel);
  ProgressGauge->setMinimumWidth(300);
  auto* panelLayout = new QVBoxLayout(panel);
  panelLayout->setContentsMargins(1, 1, 1, 1);
  panelLayout->addWidget(ProgressGauge);
  BitBtn1 = new QPushButton("Stop", this);
  BitBtn1->setObjectName("BitBtn1");
  connect(BitBtn1, &QPushButton::clicked, this, &TUpDateForm::BitBtn1Click);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(panel);
  layout->addWidget(BitBtn1);
  setMinimumWidth(winapi::TitleBarWidth(*this));
  CentreOnScreen(*this);
}

}  // namespace update
