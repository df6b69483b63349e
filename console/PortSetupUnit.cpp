#include "console/PortSetupUnit.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "buffer/core/DialogSettings.h"
#include "console/ModalRun.h"
#include "console/core/PortSettings.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/qt/SelectOnFocus.h"

TPortSetupForm::TPortSetupForm(uint32_t& lptBase,
                               const std::array<uint32_t, console::kLptTableSize>& table,
                               std::string settingsPath, QWidget* parent)
    : QDialog(parent), lptBase_(lptBase), table_(table), settingsPath_(std::move(settingsPath)) {
  console::MakeFixedDialog(*this, "Connecting Port Setup", 300, 200);
  Label1 = new QLabel("Port Setup : ", this);
  Label1->setGeometry(12, 14, 90, 20);
  PortEdit = new QLineEdit(this);
  PortEdit->setObjectName("PortEdit");
  PortEdit->setGeometry(104, 12, 184, 24);
  winapi::SelectAllOnFocus(PortEdit);
  Label2 = new QLabel("Detect Port Number List :", this);
  Label2->setGeometry(12, 44, 276, 20);
  PortListBox = new QListWidget(this);
  PortListBox->setGeometry(12, 66, 276, 80);
  BitBtn1 = new QPushButton("OK", this);
  BitBtn1->setGeometry(60, 160, 80, 28);
  BitBtn1->setDefault(true);
  BitBtn2 = new QPushButton("Cancel", this);
  BitBtn2->setGeometry(160, 160, 80, 28);
  connect(PortListBox, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { PortListBoxClick(PortListBox->row(item)); });
  connect(BitBtn1, &QPushButton::clicked, this, &TPortSetupForm::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
  FormCreate();
}

void TPortSetupForm::FormCreate() {
  for (const std::string& entry : console::DetectedPortList(table_))
    PortListBox->addItem(QString::fromStdString(entry));
  PortEdit->setText(QString::fromStdString(console::PortBaseText(lptBase_)));
}

void TPortSetupForm::PortListBoxClick(int row) {
  if (QListWidgetItem* item = PortListBox->item(row)) PortEdit->setText(item->text());
}

void TPortSetupForm::BitBtn1Click() {
  // The port chosen serves this run all the same; the box says that it will not be kept.
  const IniWriteWatch writes(settingsPath_);
  lptBase_ = console::StorePortChoice(settingsPath_, PortEdit->text().toLatin1().toStdString());
  buffer::SettingsWritten(writes);
  accept();
}
