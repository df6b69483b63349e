// QZ_HOME, the gang programmer console.
#include <QApplication>
#include <exception>
#include <memory>

#include "buffer/BufferTools.h"
#include "buffer/DumpEdit.h"
#include "buffer/LoadDialog.h"
#include "buffer/LoadDispatcher.h"
#include "buffer/ProgressWin.h"
#include "buffer/core/Progress.h"
#include "console/GangTool.h"
#include "console/Qz_M_Unit.h"
#include "console/core/ApplicationErrors.h"
#include "platform/portio/PortDriver.h"
#include "platform/winapi/qt/QtMessageBoxes.h"
#include "programmer/VirtualProgrammer.h"

namespace {

// Closing the main form ends the program, whatever other window is still open.
void KeepFromHoldingTheProgram(QWidget& form) { form.setAttribute(Qt::WA_QuitOnClose, false); }

struct BufferForms {
  std::unique_ptr<buffer::TMainEdit> mainEdit;
  std::unique_ptr<buffer::TLoadDlg> loadDialog;
  std::unique_ptr<TProgressWindow> progress;

  ~BufferForms() {
    buffer::SetLoadedFileReporter(nullptr);
    buffer::SetLoadCommandHooks({});
    buffer::SetProgress(nullptr);
    buffer::SetMainEditForm(nullptr);
  }
};

// The Dump Edit, the Load dialog and the progress window, in this order, between the main
// form and GANG TOOLS; the main form's tool buttons reach the Dump Edit through its hooks.
// The Load dialog made here is never shown: every Load opens a fresh one.
std::unique_ptr<BufferForms> CreateBufferForms(TQZ_M_Form& mainForm) {
  buffer::InstallBufferTools();
  auto forms = std::make_unique<BufferForms>();
  forms->mainEdit = std::make_unique<buffer::TMainEdit>(buffer::ConsoleProfile());
  buffer::TMainEdit* edit = forms->mainEdit.get();
  buffer::SetMainEditForm(edit);
  KeepFromHoldingTheProgram(*edit);
  edit->SetChangedDataReporter([&mainForm](const std::string& note) {
    QString text = mainForm.NowFilePath->PanelText(1);
    mainForm.NowFilePath->SetPanelText(1, text + QString::fromLatin1(note.c_str()));
  });
  mainForm.DumpEdit.LoadFile = [edit] { edit->LoadFileBClick(); };
  mainForm.DumpEdit.SaveFile = [edit] { edit->SaveFileBClick(); };
  mainForm.DumpEdit.ShowEdit = [edit] { edit->ShowForm(); };

  forms->loadDialog = std::make_unique<buffer::TLoadDlg>();
  buffer::InstallToolDialog(buffer::ToolCommand::Load, [](buffer::TMainEdit&) {
    return std::make_unique<buffer::TLoadDlg>();
  });
  buffer::SetLoadedFileReporter([&mainForm](const std::string& name) {
    mainForm.NowFilePath->SetPanelText(1, QString::fromStdString(name));
  });
  buffer::InstallLoadCommand();
  buffer::LoadCommandHooks hooks;
  hooks.setJedecSendMode = [&mainForm](std::int32_t mode) { mainForm.JedecSendMode = mode; };
  hooks.showException = console::ShowApplicationException;
  buffer::SetLoadCommandHooks(std::move(hooks));

  forms->progress = std::make_unique<TProgressWindow>();
  KeepFromHoldingTheProgram(*forms->progress);
  buffer::SetProgress(forms->progress.get());
  return forms;
}

int RunConsole(QApplication& app) {
  portio::SetVirtualDeviceFactory([] { return std::make_unique<programmer::VirtualProgrammer>(); });
  auto mainForm = std::make_unique<TQZ_M_Form>();
  QZ_M_Form = mainForm.get();
  if (!mainForm->FormCreate()) return 0;
  std::unique_ptr<BufferForms> bufferForms = CreateBufferForms(*mainForm);
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
