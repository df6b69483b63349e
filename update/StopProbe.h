#pragma once
// The Stop button as the update's long wait reads it while the programmer is busy. A look
// takes the pending events and lets none of the user's reach the program: a left press is
// remembered (on a widget whose text is "Stop" or "TEST", or on any other), every other input
// event, every window close and the program's own posted messages are dropped. The system's
// own events (painting, layout, timers of the toolkit) still run, so the windows stay drawn.
// Each look hands back the oldest remembered press.
#include <QObject>
#include <deque>

#include "link/UpdateLink.h"

namespace update {

class TStopProbe : public QObject {
 public:
  qzlink::StopProbeResult Look();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::deque<qzlink::StopProbeResult> presses_;
};

// The widget's text as a window's text reads: a button's or label's caption, a window's title.
QString WindowText(QObject* widget);

}  // namespace update
