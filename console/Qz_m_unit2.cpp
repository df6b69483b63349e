// The main form's handlers of the programmer's commands: each acknowledges first and then
// acts on the form. They run inside the link tick, so no user input comes between them.
#include <QString>

#include "buffer/DumpEdit.h"
#include "console/GangTool.h"
#include "console/Qz_M_Unit.h"
#include "console/core/BufferTransfer.h"
#include "console/core/CommandPayloads.h"
#include "console/core/FailureLog.h"
#include "link/LinkPacket.h"

namespace {

constexpr uint32_t kEmptyLengthField = 4;
constexpr uint32_t kKeyReplyLengthField = 6;

QString FromLatin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The main form's widgets and the Dump Edit, as a transfer sees them. The window takes no
// messages while a transfer runs, so what changes is repainted at once, and only then.
class FormTransferSite : public console::TransferSite {
 public:
  explicit FormTransferSite(TQZ_M_Form& form) : form_(form) {}

  buffer::DataBuffer* Buffer() override {
    buffer::TMainEdit* edit = buffer::MainEditForm();
    return edit != nullptr ? &edit->Buffer() : nullptr;
  }
  bool ResizeBuffer(uint32_t size) override { return buffer::MainEditForm()->ResizeBuffer(size); }
  void RefreshGrids() override { buffer::MainEditForm()->RefreshGrids(); }

  void StartProgress(const char* caption) override {
    TCGauge* gauge = form_.WaittingProgressBar;
    const bool recoloured = gauge->ForeColor() != console::kTeal;
    const bool moves = gauge->Progress() != 0;
    gauge->SetForeColor(console::kTeal);
    ShowProgress(0);
    // A new colour is only a style: unless the new value painted it, the bar is told to.
    if (recoloured && !moves) gauge->repaint();
    form_.Label1->setText(caption);
    form_.Label1->repaint();
  }
  void ShowProgress(int progress) override { form_.WaittingProgressBar->SetProgress(progress); }
  void ShowPathPanel(const char* text) override { form_.NowFilePath->SetPanelText(1, text); }
  void Log(const std::string& text) override { form_.LogLinkError(text); }

 private:
  TQZ_M_Form& form_;
};

}  // namespace

bool TQZ_M_Form::SendEmptyAcknowledge() {
  return qzlink::SendNewPacket(qzlink::kAcknowledgeCode, {}, kEmptyLengthField, LptBase) == 1;
}

// 0xA0: the programmer's LCD.
void TQZ_M_Form::ReShowLCDCommand(qzlink::LinkPacket packet) {
  if (!SendEmptyAcknowledge()) {
    LogLinkError("ReShowLCDCommand()->C Send acknowledge Fail!");
    return;
  }
  const console::LcdTextBlock block = console::LcdBlockFromPayload(qzlink::PacketPayload(packet));
  // A user who has just clicked the list keeps the choice for a while.
  if (MenuListMode == 0 && IdleFlag == 1) {
    for (int start : console::kMenuSyncStarts)
      SyncMenuFromLcd(std::span<const uint8_t, 20>(block.data() + start, 20));
  }
  LcdPainBox1->SetText(block);
}

void TQZ_M_Form::SyncMenuFromLcd(std::span<const uint8_t, 20> line) {
  if (!console::IsSelectedMenuLine(line)) return;
  std::vector<std::string> items;
  items.reserve(static_cast<size_t>(MenuListBox->count()));
  for (int i = 0; i < MenuListBox->count(); ++i)
    items.push_back(MenuListBox->item(i)->text().toLatin1().toStdString());
  const console::MenuLineSync sync = console::SyncFromLcdLine(line, items);
  if (sync.toPc) ToPcFlag = 1;
  if (sync.selectedItem >= 0) {
    MenuListBox->setCurrentRow(sync.selectedItem);
    MenuListBox->scrollToItem(MenuListBox->currentItem());
  }
}

// 0xA4: the programmer's menu.
void TQZ_M_Form::QZSendMenuDataCommand(qzlink::LinkPacket packet) {
  if (!SendEmptyAcknowledge()) {
    LogLinkError("QZSendMenuDataCommand()->C Send acknowledge Fail!");
    return;
  }
  const console::MenuPayload menu = console::MenuFromPayload(qzlink::PacketPayload(packet));
  MenuListBox->clear();
  MenuLabel->setText(FromLatin1(menu.title));
  for (size_t k = 0; k < menu.items.size(); ++k)
    MenuListBox->addItem(FromLatin1(console::MenuItemText(static_cast<int>(k), menu.items[k])));
}

// 0xA1: the programmer fetches the pending key and menu choice.
void TQZ_M_Form::GetKeyCodeCommand() {
  const std::array<uint8_t, 2> reply = console::PrepareKeyReply(*this);
  if (qzlink::SendNewPacket(qzlink::kAcknowledgeCode, reply, kKeyReplyLengthField, LptBase) != 1) {
    // Both stay pending and go with the next request.
    LogLinkError("GetKeyCodeCommand()->C Send key Fail!");
    return;
  }
  console::KeyReplySent(*this);
}

// 0xA7: the result of the job the programmer ran.
void TQZ_M_Form::QZSendStatusDataCommandA7(qzlink::LinkPacket packet) {
  if (!SendEmptyAcknowledge()) {
    LogLinkError("QZSendStatusDataCommandA7()->C Send acknowledge Fail!");
    return;
  }
  const int result = console::JobResultFromPayload(qzlink::PacketPayload(packet));
  if (GangTools != nullptr) GangTools->SetJobResult(result);
}

// 0xA2: the programmer's whole data, in blocks.
void TQZ_M_Form::QZSendReadDataCommand(qzlink::LinkPacket packet) {
  FormTransferSite site(*this);
  console::ServeReadAll(qzlink::PacketPayload(packet), *this, site);
}

// 0xA3: the programmer takes the buffer, in blocks.
void TQZ_M_Form::QZGetProgramDataCommand(qzlink::LinkPacket packet) {
  FormTransferSite site(*this);
  console::ServeProgramAll(qzlink::PacketPayload(packet), *this, site);
}

// 0xA5: one segment of the programmer's data.
void TQZ_M_Form::QZSendReadDataSegmentCommand(qzlink::LinkPacket packet) {
  FormTransferSite site(*this);
  console::ServeReadSegment(qzlink::PacketPayload(packet), *this, site);
}

// 0xA6: the programmer takes one segment of the buffer.
void TQZ_M_Form::QZGetProgramDataSegmentCommand(qzlink::LinkPacket packet) {
  FormTransferSite site(*this);
  console::ServeProgramSegment(qzlink::PacketPayload(packet), *this, site);
}

// Off unless LogEnabled is 1, which nothing sets: the console writes no Error.ini.
void TQZ_M_Form::LogLinkError(const std::string& message) {
  if (LogEnabled != 1) return;
  console::AppendFailureLog(StartDirectory, message);
}
