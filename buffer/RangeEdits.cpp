#include "buffer/RangeEdits.h"

#include <QLineEdit>

#include "buffer/HexEntry.h"

namespace buffer {
namespace {

std::string TextOf(const QLineEdit* edit) {
  return edit ? edit->text().toLatin1().toStdString() : std::string();
}

}  // namespace

RangeEdits::RangeEdits(TwinAddressEdits* twins, QLineEdit* byteStart, QLineEdit* byteEnd,
                       QLineEdit* wordStart, QLineEdit* wordEnd)
    : twins_(twins), edits_{byteStart, byteEnd, wordStart, wordEnd} {}

void RangeEdits::Write(const RangeEditTexts& texts) const {
  if (twins_) twins_->SetDrive(TwinDrive::None);
  for (const RangeEditText& text : texts) {
    if (QLineEdit* edit = Edit(text.edit)) edit->setText(QString::fromLatin1(text.text.c_str()));
  }
}

RangeTexts RangeEdits::Texts() const {
  return {TextOf(Edit(RangeEdit::ByteStart)), TextOf(Edit(RangeEdit::ByteEnd)),
          TextOf(Edit(RangeEdit::WordStart)), TextOf(Edit(RangeEdit::WordEnd))};
}

}  // namespace buffer
