#include "console/QtTickTimer.h"

namespace console {

QtTickTimer::QtTickTimer(std::function<void()> tick) {
  QObject::connect(&timer_, &QTimer::timeout, std::move(tick));
}

TickTimerFactory QtTickTimers() {
  return [](std::function<void()> tick) { return std::make_unique<QtTickTimer>(std::move(tick)); };
}

}  // namespace console
