#include "buffer/SetHexPosition.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "buffer/DialogPlacement.h"
#include "buffer/HexEntry.h"
#include "buffer/RadioGroup.h"
#include "buffer/core/SettingsPath.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/qt/SelectOnFocus.h"
#include "platform/winapi/qt/TitleWidth.h"

namespace buffer {
namespace {

QGroupBox* AddressGroup(const QString& caption, QLineEdit* edit, QWidget* parent) {
  auto* group = new QGroupBox(caption, parent);
  auto* layout = new QHBoxLayout(group);
  layout->addWidget(new QLabel("0x", group));
  layout->addWidget(edit);
  return group;
}

QString Hex6(uint32_t value) { return QString::fromStdString(FormatHex(value, kAddressDigits)); }

}  // namespace

THexForm::THexForm(QWidget* parent)
    : QDialog(parent, Qt::Tool),
      selectMode_(new TRadioGroup(
          "To Buffer Start Address",
          {"Force Start Address To 0", "Default Address Starts", "Set Address Start"}, this)),
      defaultAddr_(new QLineEdit(this)),
      destinationAddr_(new QLineEdit("0", this)),
      decision_(new QPushButton("OK", this)) {
  setWindowTitle("Load Intel Hex File To Buffer");
  // A tool window's title bar cuts a long caption: the form is wide enough for all of it.
  setMinimumWidth(winapi::TitleBarWidth(*this));
  destinationAddr_->setMaxLength(kAddressDigits);
  // DestinationAddrKeyPress: hex digits and backspace pass, 'a'..'f' raised.
  MakeHexEdit(destinationAddr_, kAddressDigits);
  for (QLineEdit* edit : {defaultAddr_, destinationAddr_}) winapi::SelectAllOnFocus(edit);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(selectMode_);
  layout->addWidget(AddressGroup("File Default Address", defaultAddr_, this));
  layout->addWidget(AddressGroup("Destination Address", destinationAddr_, this));
  layout->addWidget(decision_);
  connect(selectMode_, &TRadioGroup::Click, this, &THexForm::SelectModeClick);
  connect(decision_, &QPushButton::clicked, this, &THexForm::DecisionClick);
}

void THexForm::showEvent(QShowEvent* event) {
  // A restore from the task bar is the window system's show: the user's typing and the
  // place the user moved the form to stay.
  if (!event->spontaneous()) {
    CentreOnDesktop(this);
    FormShow();
  }
  QDialog::showEvent(event);
}

void THexForm::FormShow() {
  destinationAddr_->setEnabled(false);
  // The Load dialog's destination, from the settings file wherever it lies.
  const int destination = TIniFile(SettingsPath()).ReadInteger("LoadDlg", "DistSadd", 0);
  destinationAddr_->setText(destination != 0 ? Hex6(static_cast<uint32_t>(destination))
                                             : QString("000000"));
}

void THexForm::SelectModeClick() {
  const bool setAddress =
      selectMode_->ItemIndex() == static_cast<int>(formats::StartAddressChoice::SetAddress);
  destinationAddr_->setEnabled(setAddress);
  defaultAddr_->setEnabled(false);
}

void THexForm::DecisionClick() { accept(); }

void THexForm::SetDefaultAddress(uint32_t value) { defaultAddr_->setText(Hex6(value)); }

uint32_t THexForm::GetDestinationAddress() const {
  return ParseHex(destinationAddr_->text().toLatin1().toStdString());
}

THexFormChooser::THexFormChooser(QWidget* owner, ShowModal showModal)
    : owner_(owner), showModal_(std::move(showModal)) {}

uint32_t THexFormChooser::ChooseSegmentBase(uint32_t fileBase) {
  THexForm form(owner_);
  form.SelectMode()->SetItemIndex(static_cast<int>(formats::StartAddressChoice::FileDefault));
  form.SetDefaultAddress(fileBase);
  if (showModal_)
    showModal_(form);
  else
    form.exec();
  // "OK" and the close box alike: the choice on the form holds.
  return formats::SegmentBaseForChoice(
      static_cast<formats::StartAddressChoice>(form.SelectMode()->ItemIndex()), fileBase,
      form.DestinationAddr()->text().toLatin1().toStdString());
}

}  // namespace buffer
