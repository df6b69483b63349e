#include "console/ModalRun.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

namespace console {
namespace {

ModalRunner& Runner() {
  static ModalRunner runner;
  return runner;
}

}  // namespace

int RunModal(QDialog& form) { return Runner() ? Runner()(form) : form.exec(); }

ModalRunner SetModalRunner(ModalRunner runner) {
  ModalRunner previous = std::move(Runner());
  Runner() = std::move(runner);
  return previous;
}

}  // namespace console

namespace console {

void MakeFixedDialog(QWidget& form, const char* caption, int clientWidth, int clientHeight) {
  form.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                      Qt::WindowCloseButtonHint);
  form.setWindowTitle(caption);
  form.setFixedSize(clientWidth, clientHeight);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    form.move(screen->availableGeometry().center() - form.rect().center());
}

}  // namespace console
