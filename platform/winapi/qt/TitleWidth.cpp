#include "platform/winapi/qt/TitleWidth.h"

#include <QFontMetrics>
#include <QWidget>

namespace winapi {
namespace {

// The title bar's icon, buttons and margins beside the title.
constexpr int kTitleBarExtras = 110;

}  // namespace

int TitleBarWidth(const QWidget& window) {
  QFont font = window.font();
  font.setBold(true);
  return QFontMetrics(font).horizontalAdvance(window.windowTitle()) + kTitleBarExtras;
}

}  // namespace winapi
