#include "buffer/DialogPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace buffer {

int CentredOrigin(int desktopOrigin, int desktopExtent, int extent) {
  return desktopOrigin + (desktopExtent - extent) / 2;
}

void CentreOnDesktop(QWidget* widget) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect desktop = screen->geometry();
  widget->move(CentredOrigin(desktop.left(), desktop.width(), widget->width()),
               CentredOrigin(desktop.top(), desktop.height(), widget->height()));
}

}  // namespace buffer
