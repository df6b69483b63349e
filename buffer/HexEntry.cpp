#include "buffer/HexEntry.h"

#include <QEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "buffer/core/FileChecks.h"

namespace buffer {
namespace {

std::string TextOf(const QLineEdit* edit) { return edit->text().toLatin1().toStdString(); }

QString ToQString(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

bool HasPrintableText(const QKeyEvent& event) {
  const QString text = event.text();
  return !text.isEmpty() && (text[0].isPrint() || text[0].isSurrogate());
}

// Whether the key types text an edit would insert; a shortcut (Ctrl, Alt) types none.
bool TypesPrintableText(const QKeyEvent& event) {
  return HasPrintableText(event) && !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

// Typed characters go through FilterHexKey; keys that type nothing (arrows, Delete, Tab,
// Enter, Ctrl shortcuts) keep their ordinary meaning. A key with text but no typed byte is
// no hex digit either: another keyboard layout's letter, or a letter held with Alt (Alt+G
// arrives with "g"). It is dropped, or the edit would insert it and the change rule would
// cut the text there. An input method's text comes as no key press: it goes through the
// same rule.
class HexKeyFilter : public QObject {
 public:
  HexKeyFilter(QLineEdit* edit, HexKeyRule rule) : QObject(edit), rule_(rule) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::InputMethod && event->type() != QEvent::KeyPress) return false;
    // A dying edit is a mere QWidget by now and still gets events (a commit on focus out).
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit == nullptr) return false;
    if (event->type() == QEvent::InputMethod) {
      InsertCommittedDigits(edit, static_cast<QInputMethodEvent*>(event)->commitString());
      return true;
    }
    const auto& key = *static_cast<QKeyEvent*>(event);
    const char typed = TypedCharacter(key);
    if (typed == 0) return HasPrintableText(key) && !(key.modifiers() & Qt::ControlModifier);
    char kept = FilterHexKey(typed, rule_);
    if (kept == 0) return true;
    if (kept == typed) return false;
    edit->insert(QString(QChar(kept)));
    return true;
  }

 private:
  void InsertCommittedDigits(QLineEdit* edit, const QString& committed) const {
    QString digits;
    for (QChar c : committed) {
      const char kept = c.unicode() > 0xFF ? 0 : FilterHexKey(static_cast<char>(c.unicode()), rule_);
      if (IsHexDigit(kept)) digits += QChar(kept);
    }
    if (!digits.isEmpty()) edit->insert(digits);
  }

  HexKeyRule rule_;
};

}  // namespace

char TypedCharacter(const QKeyEvent& event) {
  if (event.key() == Qt::Key_Backspace) return kBackspace;
  if (!TypesPrintableText(event)) return 0;
  const QString text = event.text();
  if (text.size() != 1 || text[0].unicode() > 0xFF) return 0;
  return static_cast<char>(text[0].unicode());
}

void TruncateEditText(QLineEdit* edit, int n) {
  if (edit->text().size() <= n) return;
  int caret = std::min(edit->cursorPosition(), n);
  edit->setText(edit->text().left(n));
  edit->setCursorPosition(caret);
}

void FilterHexEdit(QLineEdit* edit) {
  std::string text = TextOf(edit);
  std::string cut = CutAtFirstNonHex(text);
  // A character outside Latin-1 reads as '?' above, so it ends the digits too.
  if (cut.size() == static_cast<size_t>(edit->text().size())) return;
  edit->setText(ToQString(cut));
  edit->end(false);
}

void ByteToWordAddress(QLineEdit* byteEdit, QLineEdit* wordEdit) {
  wordEdit->setText(ToQString(ByteToWordText(TextOf(byteEdit))));
}

void WordToByteAddress(QLineEdit* wordEdit, QLineEdit* byteEdit) {
  byteEdit->setText(ToQString(WordToByteText(TextOf(wordEdit))));
}

void ShowBlockEnd(QLineEdit* destination, QLineEdit* start, QLineEdit* end, QLabel* label) {
  if (auto text = BlockEndText(TextOf(destination), TextOf(start), TextOf(end))) {
    label->setText(ToQString(*text));
  }
}

bool ShowFileRange(const std::string& name, QLineEdit* start, QLineEdit* end, int digits) {
  auto range = FileRange(name, digits);
  if (!range) return false;
  start->setText(ToQString(range->start));
  end->setText(ToQString(range->end));
  return true;
}

void InstallHexKeyFilter(QLineEdit* edit, HexKeyRule rule) {
  edit->installEventFilter(new HexKeyFilter(edit, rule));
}

void MakeHexEdit(QLineEdit* edit, int length, HexKeyRule rule) {
  InstallHexKeyFilter(edit, rule);
  QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, length] {
    TruncateEditText(edit, length);
    FilterHexEdit(edit);
  });
}

TwinAddressEdits::TwinAddressEdits(QObject* parent, HexKeyRule rule)
    : QObject(parent), rule_(rule) {}

void TwinAddressEdits::AddPair(QLineEdit* byteEdit, QLineEdit* wordEdit) {
  Pair pair{byteEdit, wordEdit};
  pairs_.push_back(pair);
  MakeHexEdit(byteEdit, kAddressDigits, rule_);
  MakeHexEdit(wordEdit, kAddressDigits, rule_);
  byteEdit->installEventFilter(this);
  wordEdit->installEventFilter(this);
  connect(byteEdit, &QLineEdit::textChanged, this, [this, pair] { ByteChanged(pair); });
  connect(wordEdit, &QLineEdit::textChanged, this, [this, pair] { WordChanged(pair); });
}

void TwinAddressEdits::SetPair(int pairIndex, const std::string& byteText,
                               const std::string& wordText) {
  const Pair& pair = pairs_.at(static_cast<size_t>(pairIndex));
  drive_ = TwinDrive::None;
  pair.byteEdit->setText(ToQString(byteText));
  pair.wordEdit->setText(ToQString(wordText));
}

void TwinAddressEdits::SetPairAddress(int pairIndex, std::int32_t byteAddress) {
  SetPair(pairIndex, FormatHex6(byteAddress), FormatHex6(ByteToWord(byteAddress)));
}

bool TwinAddressEdits::eventFilter(QObject* watched, QEvent* event) {
  bool in = event->type() == QEvent::FocusIn;
  bool out = event->type() == QEvent::FocusOut;
  if (!in && !out) return false;
  // A context menu (paste) or a message box over the dialog leaves the edit the one the
  // user is in: only a real move to another control hands the drive over.
  Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
  if (reason == Qt::PopupFocusReason) return false;
  if (out && reason == Qt::ActiveWindowFocusReason) return false;
  for (const Pair& pair : pairs_) {
    if (watched == pair.byteEdit) drive_ = in ? TwinDrive::Byte : TwinDrive::Word;
    if (watched == pair.wordEdit) drive_ = in ? TwinDrive::Word : TwinDrive::Byte;
  }
  return false;
}

void TwinAddressEdits::ByteChanged(const Pair& pair) {
  if (drive_ == TwinDrive::Byte) ByteToWordAddress(pair.byteEdit, pair.wordEdit);
}

void TwinAddressEdits::WordChanged(const Pair& pair) {
  if (drive_ == TwinDrive::Word) WordToByteAddress(pair.wordEdit, pair.byteEdit);
}

}  // namespace buffer
