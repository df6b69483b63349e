// QZ_UPDate, the programmer's system update tool.
#include <QApplication>
#include <exception>
#include <memory>

#include "buffer/DumpEdit.h"
#include "buffer/ProgressWin.h"
#include "buffer/core/Progress.h"
#include "link/UpdateLink.h"
#include "platform/portio/PortDriver.h"
#include "platform/winapi/ApplicationErrors.h"
#include "platform/winapi/qt/QtMessageBoxes.h"
#include "programmer/UpdateMode.h"
#include "update/Main.h"
#include "update/StopProbe.h"

namespace {

// The virtual ports: nothing plugged into the first, the programmer in its update mode on
// the second.
constexpr uint32_t kEmptyVirtualPort = 0x3BC;
constexpr uint32_t kVirtualBlockMs = 150;

int RunUpdateTool(QApplication& app) {
  portio::SetVirtualDeviceFactory([] {
    auto device = std::make_unique<programmer::UpdateMode>();
    // The virtual flash takes its time over each block, as a real one does, so that the run
    // can be watched.
    device->settings().busyMsPerBlock = kVirtualBlockMs;
    return device;
  });
  portio::SetVirtualEmptyPorts({kEmptyVirtualPort});
  update::TStopProbe stopProbe;
  qzlink::SetStopProbe([&stopProbe] { return stopProbe.Look(); });
  qzlink::SetOnStop([] {
    if (update::UpDateForm != nullptr) update::UpDateForm->close();
  });

  auto mainForm = std::make_unique<update::TMainForm>();
  update::MainForm = mainForm.get();
  auto progress = std::make_unique<TProgressWindow>();
  // Closing the frame ends the program, whatever else is open.
  progress->setAttribute(Qt::WA_QuitOnClose, false);
  buffer::SetProgress(progress.get());
  buffer::SetCommandErrorBox([](const std::string& message) {
    winapi::ShowApplicationException(message, update::kApplicationTitle);
  });
  mainForm->show();
  const int result = app.exec();
  buffer::SetCommandErrorBox(nullptr);
  buffer::SetProgress(nullptr);
  qzlink::SetStopProbe({});
  qzlink::SetOnStop({});
  update::MainForm = nullptr;
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(update::kApplicationTitle);
  winapi::QtMessageBoxes boxes;
  winapi::SetMessageBoxHost(&boxes);
  try {
    return RunUpdateTool(app);
  } catch (const std::exception& error) {
    winapi::ShowApplicationException(error.what(), update::kApplicationTitle);
    return 0;
  }
}
