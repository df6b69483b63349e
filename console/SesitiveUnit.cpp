#include "console/SesitiveUnit.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include "console/ModalRun.h"
#include "console/core/PortSettings.h"

TSensitiveForm::TSensitiveForm(QTimer& connectTimer, QWidget* parent)
    : QDialog(parent), connectTimer_(connectTimer) {
  console::MakeFixedDialog(*this, "Sensitive Setup", 300, 150);
  GroupBox1 = new QGroupBox("Connect Sensitive Setup", this);
  GroupBox1->setGeometry(8, 6, 284, 96);
  TrackBar1 = new QSlider(Qt::Horizontal, GroupBox1);
  TrackBar1->setRange(0, console::kIntervalPositions - 1);
  TrackBar1->setTickPosition(QSlider::TicksBelow);
  TrackBar1->setTickInterval(1);
  TrackBar1->setPageStep(1);
  TrackBar1->setGeometry(10, 22, 264, 30);
  Label2 = new QLabel("30 ms", GroupBox1);
  Label2->setGeometry(10, 54, 60, 16);
  Label3 = new QLabel("600ms", GroupBox1);
  Label3->setAlignment(Qt::AlignRight);
  Label3->setGeometry(214, 54, 60, 16);
  Label1 = new QLabel(GroupBox1);
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setGeometry(10, 72, 264, 18);
  BitBtn1 = new QPushButton("OK", this);
  BitBtn1->setGeometry(60, 112, 80, 28);
  BitBtn1->setDefault(true);
  BitBtn2 = new QPushButton("Cancel", this);
  BitBtn2->setGeometry(160, 112, 80, 28);
  FormCreate();
  connect(TrackBar1, &QSlider::valueChanged, this, &TSensitiveForm::TrackBar1Change);
  connect(BitBtn1, &QPushButton::clicked, this, &TSensitiveForm::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TSensitiveForm::FormCreate() {
  const int interval = connectTimer_.interval();
  Label1->setText(QString::fromStdString(console::IntervalText(interval)));
  TrackBar1->setValue(console::PositionOfInterval(interval));
}

void TSensitiveForm::TrackBar1Change(int position) {
  Label1->setText(QString::fromStdString(console::IntervalText(console::IntervalAtPosition(position))));
}

void TSensitiveForm::BitBtn1Click() {
  connectTimer_.setInterval(console::IntervalAtPosition(TrackBar1->value()));
  accept();
}
