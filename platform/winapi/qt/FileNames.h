#pragma once
// File and folder names on screen. Buffer bytes, LCD text and menu items are Latin-1, but the
// file system spells names in UTF-8: every label, box and list that shows a name converts it
// here, and a name picked or typed goes back to bytes here, so both ways agree.
// A long name never widens its window: it is cut in the middle and shown whole in a tooltip.
#include <QString>
#include <string>

class QAbstractItemView;
class QComboBox;
class QLabel;

namespace winapi {

// The name as the file system spells it; a byte that is not UTF-8 reads as U+FFFD.
QString ShownName(const std::string& name);
// The bytes of a name picked or typed.
std::string NameBytes(const QString& name);
// False for a name that is not valid UTF-8: its text names another file.
bool NameReadsBack(const std::string& name);

// Shows a text that may hold a long name, cut in the middle to the label's width and whole in
// its tooltip; the label asks its layout for no more than a short name's room.
void ShowName(QLabel* label, const QString& text);
// The text last shown whole by ShowName.
QString WholeName(const QLabel* label);

// A list, tree or combo box of names: each item cut in the middle to its column, whole in its
// tooltip. A combo box is as wide as `characters`, whatever its items, and its tooltip is its
// whole text.
void FitNames(QAbstractItemView* view);
void FitNames(QComboBox* box, int characters);

}  // namespace winapi
