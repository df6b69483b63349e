#pragma once
// The parts the Load and Save File dialogs share: their push buttons, their hex address
// edits, the file-name box with its history, and the Browse file dialog.
#include <QFileDialog>
#include <QStringList>
#include <memory>
#include <string>

#include "buffer/core/HexText.h"

class QLayout;
class QLineEdit;
class QPushButton;

namespace buffer {

class THistoryComboBox;

// A button that the Enter key does not press unless it is made the default.
QPushButton* MakeDialogButton(QWidget* parent, const char* name, const char* text,
                              const char* hint);

// A hex edit of `digits` characters, wide enough that a full address stays in view.
// Typed keys pass the rule's filter.
QLineEdit* MakeAddressEdit(QWidget* parent, const char* name, const char* hint, int digits,
                           HexKeyRule rule = HexKeyRule::KeepBackspace);

// The "NameEdit" box keeping its history in `historySection` of the program's INI file.
THistoryComboBox* MakeNameEdit(QWidget* parent, const char* historySection, int historyLength);

// The box's name as the settings file will give it back (winapi::StoredName), put back in
// the box without its change handlers running (the Load dialog's would retype its range),
// so that what the dialog then checks, keeps in its history and writes is that name.
std::string TakeStoredName(THistoryComboBox& box);

// Qt's own file dialog (the same filters on every desktop), its filters from the Windows
// filter text, matching names without regard to case.
std::unique_ptr<QFileDialog> MakeBrowseDialog(QWidget* parent, const char* windowsFilter,
                                              QFileDialog::FileMode mode);

// The layout both dialogs share: "Name :" with the name box and Browse on top; below, the
// format list, the dialog's own middle column and the two answer buttons. Fixed size.
void LayOutFileDialog(QWidget* dialog, QWidget* nameEdit, QWidget* browse, QWidget* formats,
                      QLayout* middle, QWidget* accept, QWidget* cancel);

}  // namespace buffer
