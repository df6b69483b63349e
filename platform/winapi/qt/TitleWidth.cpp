#include "platform/winapi/qt/TitleWidth.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QWidget>

namespace winapi {
namespace {

// The title bar's icon, buttons and margins beside the title.
constexpr int kTitleBarExtras = 110;

}  // namespace

int TitleBarWidth(const QWidget& window) {
  const QString caption = window.windowTitle();
  const QString program = QGuiApplication::applicationDisplayName();
  const QString title = caption.isEmpty() || program.isEmpty()
                            ? caption + program
                            : caption + QString::fromUtf8(" \u2014 ") + program;
  QFont font = window.font();
  font.setBold(true);
  return QFontMetrics(font).horizontalAdvance(title) + kTitleBarExtras;
}

}  // namespace winapi
