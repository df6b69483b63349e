#include "buffer/Hstcbo.h"

#include <QCompleter>
#include <QSignalBlocker>

#include "buffer/core/NameHistory.h"
#include "platform/winapi/Paths.h"
#include "platform/winapi/qt/FileNames.h"

namespace buffer {
namespace {

// A name picked in the file dialog must name the same file when it comes back from the box
// or the history.
QString ToQString(const std::string& text) { return winapi::ShownName(text); }
std::string ToStdString(const QString& text) { return winapi::NameBytes(text); }

// The room the box asks of its dialog, in characters; a longer name scrolls in it.
constexpr int kNameRoom = 40;

}  // namespace

THistoryComboBox::THistoryComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  // The list changes only through WriteIniFile, not when Enter is pressed in the box.
  setInsertPolicy(QComboBox::NoInsert);
  setDuplicatesEnabled(true);
  // File names differ by case here: typing "/d/A" must not complete to "/d/a.bin".
  completer()->setCaseSensitivity(Qt::CaseSensitive);
  winapi::FitNames(this, kNameRoom);
}

std::string THistoryComboBox::HistoryFile() const {
  return IniFileName.empty() ? winapi::ProgramIniPath() : IniFileName;
}

std::string THistoryComboBox::Text() const { return ToStdString(currentText()); }

void THistoryComboBox::SetText(const std::string& text) { setEditText(ToQString(text)); }

void THistoryComboBox::SetList(const std::vector<std::string>& list) {
  QSignalBlocker quiet(this);
  QString text = currentText();
  clear();
  for (const std::string& entry : list) addItem(ToQString(entry));
  setCurrentIndex(-1);
  setEditText(text);
}

void THistoryComboBox::ReadIniFile() {
  if (IniSection.empty()) return;
  {
    QSignalBlocker quiet(this);
    clear();
    setEditText(QString());
  }
  SetList(ReadNameHistory(HistoryFile(), IniSection, MaxHistoryLength));
}

bool THistoryComboBox::WriteIniFile() {
  if (IniSection.empty()) return true;
  std::vector<std::string> list;
  for (int i = 0; i < count(); ++i) list.push_back(ToStdString(itemText(i)));
  list = HistoryWithText(std::move(list), Text(), MaxHistoryLength);
  SetList(list);
  return WriteNameHistory(HistoryFile(), IniSection, list);
}

}  // namespace buffer
