#include "console/ConsoleProgram.h"

#include <QApplication>
#include <memory>

#include "buffer/BufferTools.h"
#include "buffer/DumpEdit.h"
#include "buffer/LoadDialog.h"
#include "buffer/LoadDispatcher.h"
#include "buffer/ProgressWin.h"
#include "buffer/core/Progress.h"
#include "buffer/formats/LoadSource.h"
#include "buffer/formats/Palunit.h"
#include "console/GangTool.h"
#include "console/Qz_M_Unit.h"
#include "platform/winapi/ApplicationErrors.h"

namespace console {
namespace {

// Closing another window never ends the program; closing the main form always does.
void KeepFromHoldingTheProgram(QWidget& form) { form.setAttribute(Qt::WA_QuitOnClose, false); }

// The Load command's JEDEC road: the file's text is kept on the main form, the fuses go
// into the buffer.
bool LoadJedecIntoBuffer(TQZ_M_Form& mainForm, buffer::TMainEdit& editor, const std::string& name) {
  formats::JedecText text;
  const bool passed =
      formats::LoadJedecFile(text, name, editor.Buffer(), formats::ReadLoadSettings());
  mainForm.JedecText.assign(text.block.begin(), text.block.end());
  mainForm.JedecTextSize = static_cast<uint32_t>(text.size);
  return passed;
}

struct BufferForms {
  std::unique_ptr<buffer::TMainEdit> mainEdit;
  std::unique_ptr<buffer::TLoadDlg> loadDialog;
  std::unique_ptr<TProgressWindow> progress;

  ~BufferForms() {
    buffer::SetLoadedFileReporter(nullptr);
    buffer::SetLoadCommandHooks({});
    buffer::SetCommandErrorBox(nullptr);
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
    mainForm.NowFilePath->SetPanelText(1, winapi::ShownName(name));
  });
  buffer::InstallLoadCommand();
  buffer::LoadCommandHooks hooks;
  hooks.setJedecSendMode = [&mainForm](std::int32_t mode) { mainForm.JedecSendMode = mode; };
  hooks.loadJedec = [&mainForm](buffer::TMainEdit& editor, const std::string& name) {
    return LoadJedecIntoBuffer(mainForm, editor, name);
  };
  buffer::SetLoadCommandHooks(std::move(hooks));
  buffer::SetCommandErrorBox([](const std::string& message) {
    winapi::ShowApplicationException(message, kApplicationTitle);
  });

  forms->progress = std::make_unique<TProgressWindow>();
  KeepFromHoldingTheProgram(*forms->progress);
  buffer::SetProgress(forms->progress.get());
  return forms;
}

}  // namespace

void NameApplication() { QApplication::setApplicationName(kApplicationTitle); }

int RunConsole(QApplication& app) {
  // The loop ends when the main form closes (it leaves the loop itself), not when the last
  // window goes: that road would first close every other window, and the Dump Edit may
  // refuse.
  const bool quitOnLastWindow = QApplication::quitOnLastWindowClosed();
  QApplication::setQuitOnLastWindowClosed(false);
  auto mainForm = std::make_unique<TQZ_M_Form>();
  QZ_M_Form = mainForm.get();
  int result = 0;
  if (mainForm->FormCreate()) {
    std::unique_ptr<BufferForms> bufferForms = CreateBufferForms(*mainForm);
    auto gangTools = std::make_unique<TGangTools>();
    GangTools = gangTools.get();
    KeepFromHoldingTheProgram(*gangTools);
    mainForm->show();
    result = app.exec();
    GangTools = nullptr;
  }
  QZ_M_Form = nullptr;
  QApplication::setQuitOnLastWindowClosed(quitOnLastWindow);
  return result;
}

}  // namespace console
