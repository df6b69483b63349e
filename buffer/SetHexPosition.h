#pragma once
// THexForm, "Load Intel Hex File To Buffer": asked in the middle of an Intel Hex read when
// the file's first segment record names a non-zero base, it lets the user keep that base,
// force it to 0 or type one. THexFormChooser puts it behind the reader's question.
#include <QDialog>
#include <functional>

#include "buffer/formats/IntelHex.h"

class QLineEdit;
class QPushButton;

namespace buffer {

class TRadioGroup;

class THexForm : public QDialog {
  Q_OBJECT

 public:
  explicit THexForm(QWidget* parent = nullptr);

  void FormShow();
  void SelectModeClick();
  void DecisionClick();

  void SetDefaultAddress(uint32_t value);
  uint32_t GetDestinationAddress() const;

  TRadioGroup* SelectMode() const { return selectMode_; }
  QLineEdit* DefaultAddr() const { return defaultAddr_; }
  QLineEdit* DestinationAddr() const { return destinationAddr_; }
  QPushButton* Decision() const { return decision_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TRadioGroup* selectMode_;
  QLineEdit* defaultAddr_;
  QLineEdit* destinationAddr_;
  QPushButton* decision_;
};

// Answers the reader's question with the form, shown modally; tests replace the modal run.
class THexFormChooser : public formats::SegmentBaseChooser {
 public:
  using ShowModal = std::function<void(THexForm&)>;
  explicit THexFormChooser(QWidget* owner = nullptr, ShowModal showModal = {});

  uint32_t ChooseSegmentBase(uint32_t fileBase) override;

 private:
  QWidget* owner_;
  ShowModal showModal_;
};

}  // namespace buffer
