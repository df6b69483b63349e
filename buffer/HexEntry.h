#pragma once
// Hexadecimal edits of the dialogs: the key filter, the change rule (cut to length, then at
// the first non-hex character), the byte/word twin address edits, the block-end label and
// the file range. The rules themselves are in buffer/core/HexText.h.
#include <QObject>
#include <string>
#include <vector>

#include "buffer/core/HexText.h"

class QKeyEvent;
class QLabel;
class QLineEdit;

namespace buffer {

// Cuts the edit's text to n characters; the caret stays where it was (or at the new end).
void TruncateEditText(QLineEdit* edit, int n);
// Cuts the edit's text at its first non-hex character and puts the caret at the end.
void FilterHexEdit(QLineEdit* edit);

// The twin's text: half of the byte address, and twice the word address (at most FFFFFF).
void ByteToWordAddress(QLineEdit* byteEdit, QLineEdit* wordEdit);
void WordToByteAddress(QLineEdit* wordEdit, QLineEdit* byteEdit);

// label := destination + end - start when start < end; otherwise the label keeps its text.
void ShowBlockEnd(QLineEdit* destination, QLineEdit* start, QLineEdit* end, QLabel* label);

// start := "000000", end := last byte's address of the file, at most the largest value of
// `digits` hex digits. False, and the edits keep their texts, when the file cannot be opened.
bool ShowFileRange(const std::string& name, QLineEdit* start, QLineEdit* end, int digits = 8);

// The Latin-1 character a key press types, kBackspace for Backspace, and 0 for a key that
// types none: arrows, shortcuts, a character above U+00FF, and Delete, whose text on X11 is
// the control character 0x7F.
char TypedCharacter(const QKeyEvent& event);

// Typed keys of the edit pass FilterHexKey under the rule. The filter belongs to the edit.
void InstallHexKeyFilter(QLineEdit* edit, HexKeyRule rule = HexKeyRule::KeepBackspace);

// Makes the edit a hex edit of `length` characters: typed keys pass FilterHexKey under the
// rule, and every change (typed, pasted or set from code) runs TruncateEditText and
// FilterHexEdit. The filter belongs to the edit.
void MakeHexEdit(QLineEdit* edit, int length, HexKeyRule rule = HexKeyRule::KeepBackspace);

// Which side of the twin address edits drives the other.
enum class TwinDrive { Word = 0, Byte = 1, None = 2 };

// The twin address edits of one dialog: pairs of a byte-address edit and a word-address
// edit, all six-digit hex edits. Entering a byte edit lets the byte edits drive (leaving it
// hands over to the word edits) and the other way round; a change of the driving side
// rewrites its twin, whose own change then does not drive back.
class TwinAddressEdits : public QObject {
  Q_OBJECT

 public:
  explicit TwinAddressEdits(QObject* parent, HexKeyRule rule = HexKeyRule::KeepBackspace);

  void AddPair(QLineEdit* byteEdit, QLineEdit* wordEdit);

  TwinDrive Drive() const { return drive_; }
  // Dialog creation and the range buttons set None before they write the edits.
  void SetDrive(TwinDrive drive) { drive_ = drive; }

  // Writes a byte range and its word twins without either side driving.
  void SetPair(int pairIndex, const std::string& byteText, const std::string& wordText);
  // The same for a byte address: "%06lX" of it and of its half.
  void SetPairAddress(int pairIndex, std::int32_t byteAddress);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Pair {
    QLineEdit* byteEdit;
    QLineEdit* wordEdit;
  };
  void ByteChanged(const Pair& pair);
  void WordChanged(const Pair& pair);

  HexKeyRule rule_;
  std::vector<Pair> pairs_;
  TwinDrive drive_ = TwinDrive::None;
};

}  // namespace buffer
