#include "console/GangTool.h"

TGangTools* GangTools = nullptr;

TGangTools::TGangTools(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setWindowTitle("GANG TOOLS");
}

void TGangTools::SetJobResult(int result) { jobResults_.push_back(result); }
