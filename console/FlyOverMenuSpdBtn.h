#pragma once
// A tool button that opens its menu as soon as the pointer rests on it, without a click:
// the menu's items appear in a small frameless window below the button (TFlyOverMenu),
// light up under the pointer and run when clicked. The window goes when the pointer leaves
// it, or leaves the button without reaching it within 10 ms.
#include <QMenu>
#include <QToolButton>
#include <memory>

#include "console/QtTextMetrics.h"
#include "console/QtTickTimer.h"
#include "console/core/FlyOverGeometry.h"

class TFlyOverMenuSpdBtn;

class TFlyOverMenu : public QWidget {
 public:
  explicit TFlyOverMenu(TFlyOverMenuSpdBtn* owner);

  bool MenuExists() const { return TotalMenuItemCount() > 0; }
  int TotalMenuItemCount() const;
  // Measures the items and places and shows the window for a button whose bottom-left
  // corner is at (x, y) on the screen. A menu without items shows nothing.
  void ActivateAtPoint(int x, int y);
  const console::FlyOverLayout& Layout() const { return layout_; }
  int HoveredIndex() const { return hoveredIndex_; }
  bool MouseInside() const { return mouseInside_; }

  // The pointer entered the window, or left it: then the window goes.
  void CMMouseEnter();
  void CMMouseLeave();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  std::vector<std::string> Captions() const;

  TFlyOverMenuSpdBtn* owner_;
  QFont menuFont_;
  console::QtTextMetrics metrics_;
  console::FlyOverLayout layout_;
  int lastHoveredIndex_ = -1;
  int hoveredIndex_ = -1;
  bool mouseInside_ = false;
};

class TFlyOverMenuSpdBtn : public QToolButton {
 public:
  static constexpr int kLeaveGraceMs = 10;

  explicit TFlyOverMenuSpdBtn(QWidget* parent = nullptr,
                              const console::TickTimerFactory& timers = console::QtTickTimers());
  ~TFlyOverMenuSpdBtn() override;

  QMenu* PopupMenu = nullptr;
  TFlyOverMenu* FlyOver() const { return flyOver_; }
  bool LeaveTimerRunning() const { return leaveTimer_->IsRunning(); }

  // The pointer rests on the enabled button: the window shows below it. The pointer left
  // the enabled button: the window has 10 ms to be reached.
  void CMMouseEnter();
  void CMMouseLeave();
  void StartTimer(int ms);
  void StopTimer();
  void TimerEvent();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  // Only the left button is the button's: the others open no context menu and reach
  // nothing beneath.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  TFlyOverMenu* flyOver_;
  std::unique_ptr<console::TickTimer> leaveTimer_;
};
