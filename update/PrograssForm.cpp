#include "update/PrograssForm.h"

#include <QFrame>
#include <QVBoxLayout>

#include "platform/winapi/qt/TitleWidth.h"
#include "update/InitUnit.h"

namespace update {

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
