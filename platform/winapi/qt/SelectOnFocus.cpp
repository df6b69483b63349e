#include "platform/winapi/qt/SelectOnFocus.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>

namespace winapi {
namespace {

class SelectOnFocusFilter : public QObject {
 public:
  explicit SelectOnFocusFilter(QWidget* edit) : QObject(edit) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* edit = static_cast<QWidget*>(watched);
    switch (event->type()) {
      case QEvent::Show:
        // The window system's show (a restore) is a return, not an opening.
        if (!event->spontaneous()) heldFocus_ = false;
        break;
      case QEvent::WindowDeactivate:
        heldFocus_ = edit->window()->focusWidget() == edit;
        break;
      case QEvent::FocusIn:
        if (Selects(static_cast<QFocusEvent*>(event)->reason())) SelectAll(edit);
        break;
      default:
        break;
    }
    return false;
  }

 private:
  bool Selects(Qt::FocusReason reason) const {
    switch (reason) {
      case Qt::TabFocusReason:
      case Qt::BacktabFocusReason:
      case Qt::ShortcutFocusReason:
      case Qt::OtherFocusReason:
        return true;
      // The window opens, or comes back to an edit the program moved the focus to.
      case Qt::ActiveWindowFocusReason:
        return !heldFocus_;
      default:
        return false;
    }
  }

  static void SelectAll(QWidget* edit) {
    if (auto* line = qobject_cast<QLineEdit*>(edit)) {
      line->selectAll();
    } else if (auto* combo = qobject_cast<QComboBox*>(edit); combo && combo->lineEdit()) {
      combo->lineEdit()->selectAll();
    }
  }

  // Whether the edit held its window's focus when the window was last left.
  bool heldFocus_ = false;
};

}  // namespace

void SelectAllOnFocus(QWidget* edit) { edit->installEventFilter(new SelectOnFocusFilter(edit)); }

}  // namespace winapi
