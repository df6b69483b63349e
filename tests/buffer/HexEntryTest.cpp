#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <functional>

#include "buffer/HexEntry.h"
#include "tests/support/TempDir.h"

namespace {

using namespace buffer;

class HexEntryTest : public ::testing::Test {
 protected:
  HexEntryTest() {
    auto* layout = new QVBoxLayout(&form_);
    for (QLineEdit** edit : {&byteStart_, &wordStart_, &byteEnd_, &wordEnd_}) {
      *edit = new QLineEdit(&form_);
      layout->addWidget(*edit);
    }
  }

  // Focus as the user moves it with the mouse or Tab; the form opens (as a dialog does,
  // after its edits are set up) on the first call.
  void Enter(QLineEdit* edit) {
    if (!form_.isVisible()) {
      form_.show();
      QApplication::setActiveWindow(&form_);
    }
    edit->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(edit->hasFocus());
  }

  QWidget form_;
  QLineEdit* byteStart_;
  QLineEdit* wordStart_;
  QLineEdit* byteEnd_;
  QLineEdit* wordEnd_;
};

TEST_F(HexEntryTest, TypedKeysAreFilteredAndRaised) {
  MakeHexEdit(byteStart_, kAddressDigits);
  Enter(byteStart_);
  QTest::keyClicks(byteStart_, "1b g-f");
  EXPECT_EQ(byteStart_->text(), "1BF");
  QTest::keyClick(byteStart_, Qt::Key_Backspace);
  EXPECT_EQ(byteStart_->text(), "1B");
  QTest::keyClick(byteStart_, Qt::Key_Left);
  QTest::keyClicks(byteStart_, "c");
  EXPECT_EQ(byteStart_->text(), "1CB");
}

// Delete as X11 sends it, with the text 0x7F.
void PressX11Delete(QWidget* widget) {
  QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_Delete, QString(QChar(0x7F)), Qt::NoModifier);
}

// A letter of the keyboard's other layout, as X11 sends it: no Qt key of its own, a character
// above U+00FF.
void PressLetterWithoutAByte(QWidget* widget, char16_t letter) {
  QTest::sendKeyEvent(QTest::Press, widget, Qt::Key(letter), QString(QChar(letter)), Qt::NoModifier);
}

// A letter held with Alt, as X11 sends it: the letter's own text with the modifier.
void PressWithAlt(QWidget* widget, Qt::Key key, const char* text) {
  QTest::sendKeyEvent(QTest::Press, widget, key, QString(text), Qt::AltModifier);
}

// Text an input method (compose, CJK) commits, which comes as no key press at all.
void CommitFromInputMethod(QWidget* widget, const QString& text) {
  QInputMethodEvent commit;
  commit.setCommitString(text);
  QApplication::sendEvent(widget, &commit);
}

TEST_F(HexEntryTest, DeleteEditsUnderBothRulesAndOnlyTheUpdateToolDropsBackspace) {
  struct Case {
    HexKeyRule rule;
    const char* afterBackspace;
  };
  for (const Case& c : {Case{HexKeyRule::KeepBackspace, "12A"},
                        Case{HexKeyRule::DropBackspace, "12AB"}}) {
    QLineEdit edit(&form_);
    edit.show();
    MakeHexEdit(&edit, kAddressDigits, c.rule);
    Enter(&edit);
    QTest::keyClicks(&edit, "12ab");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text().toStdString(), c.afterBackspace);
    QTest::keyClick(&edit, Qt::Key_Home);
    PressX11Delete(&edit);
    EXPECT_EQ(edit.text().toStdString(), std::string(c.afterBackspace).substr(1));
    // A mnemonic presses its button at once; the click follows on a timer.
    QPushButton clear("&Clear", &form_);
    clear.show();
    int clears = 0;
    QObject::connect(&clear, &QPushButton::pressed, [&clears] { ++clears; });
    // What arrives between "01" and "23": a key that types no hex digit changes nothing, and
    // an input method's text goes through the same rule as typed keys.
    struct Input {
      const char* name;
      std::function<void(QWidget*)> send;
      const char* text;
      int caret;
    };
    for (const Input& input : {
             Input{"Cyrillic Zhe", [](QWidget* w) { PressLetterWithoutAByte(w, u'\u0416'); }, "0123", 2},
             Input{"Greek omega", [](QWidget* w) { PressLetterWithoutAByte(w, u'\u03C9'); }, "0123", 2},
             Input{"Alt+G", [](QWidget* w) { PressWithAlt(w, Qt::Key_G, "g"); }, "0123", 2},
             Input{"Alt+A", [](QWidget* w) { PressWithAlt(w, Qt::Key_A, "a"); }, "0123", 2},
             Input{"committed Zhe", [](QWidget* w) { CommitFromInputMethod(w, "\u0416"); }, "0123", 2},
             Input{"committed g", [](QWidget* w) { CommitFromInputMethod(w, "g"); }, "0123", 2},
             Input{"committed a-g-b", [](QWidget* w) { CommitFromInputMethod(w, "a-g\u0416b"); }, "01AB23", 4},
             Input{"Alt+C, a button's mnemonic", [](QWidget* w) { PressWithAlt(w, Qt::Key_C, "c"); }, "0123", 2},
             Input{"Ctrl+A then 5",
                   [](QWidget* w) {
                     QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
                     QTest::keyClick(w, Qt::Key_5);
                   },
                   "5", 1},
             Input{"Ctrl+V of ab9g",
                   [](QWidget* w) {
                     QApplication::clipboard()->setText("ab9g");
                     QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
                   },
                   "01ab9", 5},
         }) {
      edit.setText("0123");
      edit.setCursorPosition(2);
      input.send(&edit);
      EXPECT_EQ(edit.text().toStdString(), input.text) << input.name;
      EXPECT_EQ(edit.cursorPosition(), input.caret) << input.name;
    }
    EXPECT_EQ(clears, 1);
  }
}

TEST_F(HexEntryTest, ASeventhCharacterIsCutAtOnce) {
  MakeHexEdit(byteStart_, kAddressDigits);
  Enter(byteStart_);
  QTest::keyClicks(byteStart_, "1234567");
  EXPECT_EQ(byteStart_->text(), "123456");
  MakeHexEdit(wordStart_, kSourceAddressDigits);
  wordStart_->setText("123456789");
  EXPECT_EQ(wordStart_->text(), "1234567");
  MakeHexEdit(byteEnd_, kByteDigits);
  byteEnd_->setText("FFF");
  EXPECT_EQ(byteEnd_->text(), "FF");
}

TEST_F(HexEntryTest, PastedTextIsCutAtItsFirstNonHexCharacter) {
  MakeHexEdit(byteStart_, kAddressDigits);
  Enter(byteStart_);
  byteStart_->insert("12G4");
  EXPECT_EQ(byteStart_->text(), "12");
  EXPECT_EQ(byteStart_->cursorPosition(), 2);
  byteStart_->setText("ab");  // pasted lower case stays
  EXPECT_EQ(byteStart_->text(), "ab");
}

TEST_F(HexEntryTest, TruncationLeavesTheCaretWhereItWas) {
  byteStart_->setText("1234567");
  byteStart_->setCursorPosition(2);
  TruncateEditText(byteStart_, 6);
  EXPECT_EQ(byteStart_->text(), "123456");
  EXPECT_EQ(byteStart_->cursorPosition(), 2);
}

TEST_F(HexEntryTest, TheFocusedSideDrivesItsTwin) {
  TwinAddressEdits twins(&form_);
  twins.AddPair(byteStart_, wordStart_);
  twins.AddPair(byteEnd_, wordEnd_);
  Enter(byteStart_);
  EXPECT_EQ(twins.Drive(), TwinDrive::Byte);
  QTest::keyClicks(byteStart_, "000100");
  EXPECT_EQ(wordStart_->text(), "000080");
  Enter(wordEnd_);
  EXPECT_EQ(twins.Drive(), TwinDrive::Word);
  QTest::keyClicks(wordEnd_, "000081");
  EXPECT_EQ(byteEnd_->text(), "000102");
  EXPECT_EQ(byteStart_->text(), "000100");
}

TEST_F(HexEntryTest, APasteFromTheContextMenuStillDrivesTheTwin) {
  TwinAddressEdits twins(&form_);
  twins.AddPair(byteStart_, wordStart_);
  Enter(byteStart_);
  QFocusEvent menuOpens(QEvent::FocusOut, Qt::PopupFocusReason);
  QApplication::sendEvent(byteStart_, &menuOpens);
  QFocusEvent boxOpens(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(byteStart_, &boxOpens);
  byteStart_->insert("000200");
  EXPECT_EQ(wordStart_->text(), "000100");
}

TEST_F(HexEntryTest, HighWordAddressesGiveTheLastByteAddress) {
  TwinAddressEdits twins(&form_);
  twins.AddPair(byteEnd_, wordEnd_);
  Enter(wordEnd_);
  QTest::keyClicks(wordEnd_, "800000");
  EXPECT_EQ(byteEnd_->text(), "FFFFFF");
  QTest::keyClick(wordEnd_, Qt::Key_Backspace);
  EXPECT_EQ(byteEnd_->text(), "100000");
}

TEST_F(HexEntryTest, EditsWrittenByARangeButtonDriveNeitherWay) {
  TwinAddressEdits twins(&form_);
  twins.AddPair(byteEnd_, wordEnd_);
  Enter(byteEnd_);
  // IC size 0 wrote FFFFFFFF: the change rule cuts it to six digits, twins untouched.
  twins.SetPair(0, FormatHex6(-1), FormatHex6(-1));
  EXPECT_EQ(twins.Drive(), TwinDrive::None);
  EXPECT_EQ(byteEnd_->text(), "FFFFFF");
  EXPECT_EQ(wordEnd_->text(), "FFFFFF");
}

TEST_F(HexEntryTest, BlockEndLabelFollowsAValidRangeOnly) {
  QLabel label("old");
  byteStart_->setText("000010");
  byteEnd_->setText("00001F");
  wordStart_->setText("001000");
  ShowBlockEnd(wordStart_, byteStart_, byteEnd_, &label);
  EXPECT_EQ(label.text(), "00100F");
  byteEnd_->setText("000010");
  ShowBlockEnd(wordStart_, byteStart_, byteEnd_, &label);
  EXPECT_EQ(label.text(), "00100F");
}

TEST_F(HexEntryTest, FileRangeShowsTheFileOrLeavesTheEdits) {
  TempDir dir;
  dir.Write("x.bin", std::string(0x100, '\0'));
  EXPECT_TRUE(ShowFileRange(dir.File("x.bin"), byteStart_, byteEnd_));
  EXPECT_EQ(byteStart_->text(), "000000");
  EXPECT_EQ(byteEnd_->text(), "0000FF");
  EXPECT_FALSE(ShowFileRange(dir.File("gone.bin"), byteStart_, byteEnd_));
  EXPECT_EQ(byteEnd_->text(), "0000FF");
}

}  // namespace
