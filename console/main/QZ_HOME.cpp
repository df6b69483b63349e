// QZ_HOME, the gang programmer console.
#include <QApplication>
#include <exception>

#include "console/ConsoleProgram.h"
#include "platform/portio/PortDriver.h"
#include "platform/winapi/ApplicationErrors.h"
#include "platform/winapi/qt/QtMessageBoxes.h"
#include "programmer/VirtualProgrammer.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  console::NameApplication();
  winapi::QtMessageBoxes boxes;
  winapi::SetMessageBoxHost(&boxes);
  portio::SetVirtualDeviceFactory([] { return std::make_unique<programmer::VirtualProgrammer>(); });
  try {
    return console::RunConsole(app);
  } catch (const std::exception& error) {
    winapi::ShowApplicationException(error.what(), console::kApplicationTitle);
    return 0;
  }
}
