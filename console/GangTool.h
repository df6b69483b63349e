#pragma once
// GANG TOOLS: runs a queue of data files through the programmer, one job at a time.
#include <QWidget>

class TGangTools : public QWidget {
  Q_OBJECT

 public:
  explicit TGangTools(QWidget* parent = nullptr);
};

// The GANG TOOLS form, reachable program-wide once the entry has created it.
extern TGangTools* GangTools;
