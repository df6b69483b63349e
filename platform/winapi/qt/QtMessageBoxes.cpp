#include "platform/winapi/qt/QtMessageBoxes.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QWidget>

#include "platform/winapi/qt/FileNames.h"
#include "platform/winapi/qt/TitleWidth.h"

namespace winapi {
namespace {

QMessageBox::Icon IconFor(unsigned flags) {
  switch (flags & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

struct ButtonSet {
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton first;
};

ButtonSet ButtonsFor(unsigned flags) {
  using B = QMessageBox;
  switch (flags & MB_BUTTONMASK) {
    case MB_OKCANCEL: return {B::Ok | B::Cancel, B::Ok};
    case MB_ABORTRETRYIGNORE: return {B::Abort | B::Retry | B::Ignore, B::Abort};
    case MB_YESNOCANCEL: return {B::Yes | B::No | B::Cancel, B::Yes};
    case MB_YESNO: return {B::Yes | B::No, B::Yes};
    case MB_RETRYCANCEL: return {B::Retry | B::Cancel, B::Retry};
    default: return {B::Ok, B::Ok};
  }
}

// A box as wide as its whole title, however short its text.
void FitTitle(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid) return;
  grid->addItem(new QSpacerItem(TitleBarWidth(box), 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                grid->rowCount(), 0, 1, grid->columnCount());
}

int ResultFor(int button) {
  switch (button) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Abort: return IDABORT;
    case QMessageBox::Retry: return IDRETRY;
    case QMessageBox::Ignore: return IDIGNORE;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDCANCEL;
  }
}

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(Owner owner, const std::string& text, const std::string& caption,
                                            unsigned flags) {
  ButtonSet set = ButtonsFor(flags);
  // Box texts are the program's ASCII words, file names and the system's reasons, which are
  // all spelled as file names are; never buffer bytes.
  auto box = std::make_unique<QMessageBox>(IconFor(flags), ShownName(caption), ShownName(text), set.buttons,
                                           static_cast<QWidget*>(owner));
  box->setDefaultButton(set.first);
  FitTitle(*box);
  if ((flags & MB_BUTTONMASK) == MB_YESNOCANCEL || (flags & MB_BUTTONMASK) == MB_OKCANCEL)
    box->setEscapeButton(QMessageBox::Cancel);
  return box;
}

int QtMessageBoxes::Show(Owner owner, const std::string& text, const std::string& caption,
                         unsigned flags) {
  return ResultFor(MakeMessageBox(owner, text, caption, flags)->exec());
}

void QtMessageBoxes::Beep(unsigned) { QApplication::beep(); }

}  // namespace winapi
