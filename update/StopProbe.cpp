#include "update/StopProbe.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>

namespace update {

namespace {

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
      return true;
    default:
      return false;
  }
}

}  // namespace

QString WindowText(QObject* widget) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* window = qobject_cast<QWidget*>(widget); window && window->isWindow()) return window->windowTitle();
  return {};
}

qzlink::StopProbeResult TStopProbe::Look() {
  if (presses_.empty()) {
    QCoreApplication::instance()->installEventFilter(this);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::instance()->removeEventFilter(this);
  }
  if (presses_.empty()) return qzlink::StopProbeResult::None;
  const qzlink::StopProbeResult press = presses_.front();
  presses_.pop_front();
  return press;
}

bool TStopProbe::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Close) {
    event->ignore();
    return true;
  }
  if (event->type() >= QEvent::User) return true;
  // Input reaches a window first and its widget next; the widget's copy is the one looked at.
  if (!IsUserInput(event->type()) || !watched->isWidgetType()) return false;
  if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    const QString text = WindowText(watched);
    presses_.push_back(text == "Stop" || text == "TEST" ? qzlink::StopProbeResult::StopPressed
                                                        : qzlink::StopProbeResult::OtherPress);
  }
  // Taken: it goes to no parent either.
  event->accept();
  return true;
}

}  // namespace update
