// QZ_HOME, the gang programmer console.
#include <QApplication>
#include <exception>
#include <memory>

#include "console/GangTool.h"
#include "console/Qz_M_Unit.h"
#include "console/core/ApplicationErrors.h"
#include "platform/portio/PortDriver.h"
#include "platform/winapi/qt/QtMessageBoxes.h"
#include "programmer/VirtualProgrammer.h"

namespace {

// Closing the main form ends the program, whatever other window is still open.
void KeepFromHoldingTheProgram(QWidget& form) { form.setAttribute(Qt::WA_QuitOnClose, false); }

// The Dump Edit, the Load dialog and the progress window, in this order, between the main
// form and GANG TOOLS; the main form's tool buttons reach the Dump Edit through its hooks.
void CreateBufferForms(TQZ_M_Form&) {}

int RunConsole(QApplication& app) {
  portio::SetVirtualDeviceFactory([] { return std::make_unique<programmer::VirtualProgrammer>(); });
  auto mainForm = std::make_unique<TQZ_M_Form>();
  QZ_M_Form = mainForm.get();
  if (!mainForm->FormCreate()) return 0;
  CreateBufferForms(*mainForm);
  auto gangTools = std::make_unique<TGangTools>();
  GangTools = gangTools.get();
  KeepFromHoldingTheProgram(*gangTools);
  mainForm->show();
  int result = app.exec();
  GangTools = nullptr;
  QZ_M_Form = nullptr;
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(console::kApplicationTitle);
  QApplication::setApplicationDisplayName(console::kApplicationTitle);
  winapi::QtMessageBoxes boxes;
  winapi::SetMessageBoxHost(&boxes);
  try {
    return RunConsole(app);
  } catch (const std::exception& error) {
    console::ShowApplicationException(error.what());
    return 0;
  }
}
