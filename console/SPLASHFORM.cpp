#include "console/SPLASHFORM.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include "console/ModalRun.h"

namespace {

constexpr int kClientWidth = 443;
constexpr int kClientHeight = 316;
constexpr int kSplashTime = 2000;

// A description of the maker, scrolled up over the lower part of the picture.
const QStringList kDescription = {
    "Zorv Electronic Co., Ltd.",
    "",
    "designs and builds device programmers",
    "for production lines: gang programmers",
    "that program many devices at once,",
    "stand-alone or driven from a PC.",
    "",
    "The GANG PROGRAMMER console mirrors",
    "the programmer's display and keys,",
    "loads and saves its buffer,",
    "and runs GANG TOOLS job queues.",
};

}  // namespace

QImage MakeHeadPicture() {
  QImage picture(448, 320, QImage::Format_RGB888);
  QPainter painter(&picture);
  QLinearGradient sky(0, 0, 0, 320);
  sky.setColorAt(0, QColor(10, 40, 110));
  sky.setColorAt(0.55, QColor(40, 110, 190));
  sky.setColorAt(1, QColor(210, 225, 240));
  painter.fillRect(picture.rect(), sky);
  // A row of sockets, as the programmer's front shows them.
  painter.setPen(QPen(QColor(20, 20, 20), 2));
  for (int i = 0; i < 8; ++i) {
    QRect socket(30 + i * 50, 110, 38, 58);
    painter.setBrush(QColor(235, 235, 235));
    painter.drawRoundedRect(socket, 4, 4);
    painter.setBrush(QColor(60, 60, 60));
    painter.drawRect(socket.adjusted(8, 8, -8, -8));
  }
  painter.setPen(Qt::white);
  QFont title("DejaVu Sans");
  title.setPixelSize(34);
  title.setBold(true);
  painter.setFont(title);
  painter.drawText(QRect(0, 20, 448, 48), Qt::AlignCenter, "GANG PROGRAMMER");
  QFont version("DejaVu Sans");
  version.setPixelSize(14);
  painter.setFont(version);
  painter.drawText(QRect(0, 66, 448, 24), Qt::AlignCenter, "Version 9.20");
  return picture;
}

THeadForm::THeadForm(QWidget* parent, const console::TickTimerFactory& timers)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName("HeadForm");
  console::MakeFixedDialog(*this, "", kClientWidth, kClientHeight);
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  Image1 = new QLabel(this);
  Image1->setGeometry(-4, -4, 448, 320);
  Image1->setPixmap(QPixmap::fromImage(MakeHeadPicture()));
  Image1->setScaledContents(true);

  ScrollText1 = new TScrollText(this);
  ScrollText1->setGeometry(8, 196, 381, 115);
  console::ScrollTextModel& text = ScrollText1->Model();
  text.SetSteps(500);
  text.SetSpeed(100);
  text.SetColor(console::clWindow);
  text.SetContinuous(true);
  text.SetAlignment(console::TAlignment::taCenter);
  text.SetDirection(console::TScrollDirection::sdBottomToTop);
  QFont font("Arial");
  font.setPixelSize(11);
  ScrollText1->SetFont(font);
  QPalette palette = ScrollText1->palette();
  palette.setColor(QPalette::WindowText, Qt::black);
  ScrollText1->setPalette(palette);
  ScrollText1->SetItems(kDescription);

  Timer1 = timers([this] { Timer1Timer(); });
  Timer1->Start(kSplashTime);
}

void THeadForm::Timer1Timer() { close(); }

void THeadForm::FormClick() { close(); }

void THeadForm::FormClose() { Timer1->Stop(); }

// The picture leaves its clicks to the form.
void THeadForm::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) FormClick();
}

// Only the timer or a click closes the picture: Esc, a dialog's key for closing, does nothing.
void THeadForm::keyPressEvent(QKeyEvent* event) {
  if (!event->matches(QKeySequence::Cancel)) QDialog::keyPressEvent(event);
}

// Closing, by a click or the timer, ends the modal loop here.
void THeadForm::done(int result) {
  FormClose();
  QDialog::done(result);
}

void ShowHeadForm(int flag, const console::TickTimerFactory& timers) {
  THeadForm form(nullptr, timers);
  if (flag == 0) form.Timer1->Stop();
  console::RunModal(form);
}
