#pragma once
// A control that scrolls lines of text across itself on a timer, plain or with raised,
// lowered or shadow copies. Its behaviour is ScrollTextModel's; this paints it.
#include <QFont>
#include <QStringList>
#include <QWidget>

#include "console/QtTextMetrics.h"
#include "console/QtTickTimer.h"
#include "console/core/ScrollText.h"

class TCustomScrollText : public QWidget {
 public:
  explicit TCustomScrollText(QWidget* parent = nullptr,
                             const console::TickTimerFactory& timers = console::QtTickTimers());

  console::ScrollTextModel& Model() { return model_; }
  const console::ScrollTextModel& Model() const { return model_; }
  void SetItems(const QStringList& items);
  void SetFont(const QFont& font);
  // The picture of the current step, as Paint draws it.
  QImage Picture() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // Presses belong to the text: they reach nothing beneath it.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QColor Resolved(uint32_t color) const;
  void DoTextOut(QPainter& painter, int x, int y, const QString& line) const;

  QFont font_;
  console::QtTextMetrics metrics_;
  console::ScrollTextModel model_;
};

class TScrollText : public TCustomScrollText {
 public:
  using TCustomScrollText::TCustomScrollText;
};
