#include "console/Qz_M_Unit.h"

#include "link/Io_1.h"
#include "link/LinkPacket.h"
#include "link/Transaction.h"

namespace {

constexpr uint32_t kRequestLengthField = 4;

// Marks the transaction as running for its whole length, however it ends.
class BusyScope {
 public:
  explicit BusyScope(uint8_t& flag) : flag_(flag) { flag_ = 1; }
  ~BusyScope() { flag_ = 0; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  uint8_t& flag_;
};

console::Rgb ToRgb(const QColor& colour) {
  return {static_cast<uint8_t>(colour.red()), static_cast<uint8_t>(colour.green()),
          static_cast<uint8_t>(colour.blue())};
}

}  // namespace

// One link tick: a poll, the programmer's command when it has one, and the connection display.
// The timer stays off for the whole tick, so ticks never overlap and the next one comes an
// interval after this one ends, however long a transaction took.
void TQZ_M_Form::ConnectTimerTimer() {
  Label1->setText("Waiting Time :");
  Label1->repaint();
  ConnectTimer->stop();
  const int result = qzlink::PollDevice(LptBase, console::PollCodeFor(*this));
  if (result == qzlink::kPollHasCommand) {
    if (std::optional<qzlink::LinkPacket> request =
            qzlink::BuildPacket(qzlink::kRequestCode, {}, kRequestLengthField)) {
      // Boxes inside the transaction run loops of their own; nothing may start a job then.
      const BusyScope busy(TransactionBusy);
      qzlink::ABCProcessOne(std::move(*request), LptBase, *this);
    }
  }
  // Read after the transaction: a transfer may have moved the gauge.
  console::ConnectionDisplay display = ShownConnection();
  console::CountPollResult(*this, display, result, static_cast<uint32_t>(ConnectTimer->interval()));
  ShowConnection(display);
  ConnectTimer->start();
}

// A one-shot: the user has left the panel alone for a second, so the menu list may follow the
// programmer's LCD again.
void TQZ_M_Form::IdleTimerTimer() {
  IdleFlag = 1;
  IdleTimer->stop();
}

console::ConnectionDisplay TQZ_M_Form::ShownConnection() const {
  console::ConnectionDisplay display;
  display.caption = ConnectPanel->text().toStdString();
  display.panelColour = ToRgb(ConnectPanel->palette().color(QPalette::Window));
  display.gauge = WaittingProgressBar->Progress();
  display.gaugeColour = WaittingProgressBar->ForeColor();
  return display;
}

void TQZ_M_Form::ShowConnection(const console::ConnectionDisplay& display) {
  const QString caption = QString::fromStdString(display.caption);
  if (ConnectPanel->text() != caption) ConnectPanel->setText(caption);
  PaintConnectPanel(display.panelColour);
  WaittingProgressBar->SetProgress(display.gauge);
  WaittingProgressBar->SetForeColor(display.gaugeColour);
}

void TQZ_M_Form::PaintConnectPanel(console::Rgb colour) {
  QPalette palette = ConnectPanel->palette();
  const QColor wanted(colour.red, colour.green, colour.blue);
  if (palette.color(QPalette::Window) == wanted) return;
  palette.setColor(QPalette::Window, wanted);
  ConnectPanel->setPalette(palette);
}
