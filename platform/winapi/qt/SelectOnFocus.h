#pragma once
// The framework's edits and combo boxes select their whole text when they take the focus
// other than by the mouse, so that what the user types first replaces the value shown. Qt
// does so only for Tab, Shift+Tab and shortcuts.
class QWidget;

namespace winapi {

// From now on the edit (a QLineEdit, or an editable QComboBox, which holds the focus for its
// line edit) selects all its text when it takes the focus by the keyboard, from code, or as
// its window opens or comes back with the focus moved to it meanwhile. A mouse click only
// places the caret; a window that comes back from a box or another window with the focus
// where it was leaves the text and selection as they were.
void SelectAllOnFocus(QWidget* edit);

}  // namespace winapi
