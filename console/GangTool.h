#pragma once
// GANG TOOLS: runs a queue of data files through the programmer, one job at a time.
#include <QWidget>
#include <vector>

class TGangTools : public QWidget {
  Q_OBJECT

 public:
  explicit TGangTools(QWidget* parent = nullptr);

  // Ends the running job with the programmer's result: 1 passed, -1 failed, 0 no verdict.
  void SetJobResult(int result);
  // The results reported so far, oldest first.
  const std::vector<int>& JobResults() const { return jobResults_; }

 private:
  std::vector<int> jobResults_;
};

// The GANG TOOLS form, reachable program-wide once the entry has created it.
extern TGangTools* GangTools;
