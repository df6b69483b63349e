#include "console/AboutUnit1.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "console/ModalRun.h"

TAboutBox1::TAboutBox1(QWidget* parent) : QDialog(parent) {
  setObjectName("AboutBox1");
  console::MakeFixedDialog(*this, "About Software.", 236, 181);
  Panel1 = new QFrame(this);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel1->setGeometry(8, 8, 220, 130);
  ProductName = new QLabel("GANG PROGRAMMER", Panel1);
  QFont bold = ProductName->font();
  bold.setPixelSize(16);
  bold.setBold(true);
  ProductName->setFont(bold);
  ProductName->setGeometry(8, 8, 204, 22);
  Version = new QLabel("Version : 9.20", Panel1);
  Version->setGeometry(8, 36, 204, 18);
  Copyright = new QLabel("Zorv Electronic Co., Ltd.", Panel1);
  Copyright->setGeometry(8, 56, 204, 18);
  Comments = new QLabel("All rights reserved. This software may be used only with the "
                        "GANG PROGRAMMER.", Panel1);
  Comments->setWordWrap(true);
  Comments->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Comments->setGeometry(8, 80, 204, 44);
  OKButton = new QPushButton("OK", this);
  OKButton->setDefault(true);
  OKButton->setGeometry(80, 146, 75, 27);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void ShowAboutBox1() {
  TAboutBox1 box;
  console::RunModal(box);
}
