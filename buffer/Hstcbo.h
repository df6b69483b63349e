#pragma once
// A combo box whose drop-down list remembers the texts last confirmed in it, kept in a
// section of an INI file between runs (the file-name boxes of the Load and Save dialogs).
#include <QComboBox>
#include <cstdint>
#include <string>

namespace buffer {

class THistoryComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit THistoryComboBox(QWidget* parent = nullptr);

  // Empty: the program's own INI file (winapi::ProgramIniPath()).
  std::string IniFileName;
  // Empty: the box neither reads nor writes.
  std::string IniSection;
  int32_t MaxHistoryLength = 7;

  // Clears the box (list and text) and loads the list from the file.
  void ReadIniFile();
  // Puts the current text on top of the list and stores the list; the list stays in the
  // box. False when the file could not be written (the list in the box is updated all the
  // same).
  bool WriteIniFile();

  std::string Text() const;
  void SetText(const std::string& text);

 private:
  std::string HistoryFile() const;
  // Replaces the list without touching the text or running the change handlers.
  void SetList(const std::vector<std::string>& list);
};

}  // namespace buffer
