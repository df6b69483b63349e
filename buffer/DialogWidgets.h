#pragma once
// The named controls the buffer dialogs are built from: buttons that never take Enter as
// the default, and edits with their hints.
class QLabel;
class QLineEdit;
class QPushButton;

namespace buffer {

struct EditProfile;

QPushButton* MakeButton(const char* name, const char* caption, const char* hint);
// An empty hint sets none.
QLineEdit* MakeEdit(const char* name, const char* hint = "");
QLabel* MakeLabel(const char* name, const char* text = "");
// A range dialog's IC button, as the profile lays it out: a normal button, or one with no
// width that neither the mouse nor Tab reaches.
void LayOutIcButton(QPushButton* button, const EditProfile& profile);

}  // namespace buffer
