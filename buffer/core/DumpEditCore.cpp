#include "buffer/core/DumpEditCore.h"

#include "buffer/core/DialogSettings.h"
#include "buffer/core/SettingsPath.h"
#include "platform/winapi/IniFile.h"

namespace buffer {

DumpEditCore::DumpEditCore(const EditProfile& profile)
    : profile_(profile), view_(profile), grids_(profile, buffer_, view_, &records_) {}

bool DumpEditCore::Create() {
  fields_ = DumpEditFields{};
  records_.Clear();
  if (!buffer_.Create(profile_.initialSize, profile_.initialFill)) {
    view_.ResetForSize(0);
    ShowMessage(messages::kCreateMemoryError);
    return false;
  }
  view_.ResetForSize(buffer_.BufSize());
  grids_.RefreshGrids();
  return true;
}

std::uint8_t DumpEditCore::TailFill() const {
  if (!profile_.growFillFromLoadDialog) return profile_.growFill;
  TIniFile ini(SettingsPath());
  const int userFill = ini.ReadInteger("LoadDlg", "UserFill", 0);
  const int useFill = ini.ReadInteger("LoadDlg", "UnuserFillCheck", 0);
  return useFill == 1 ? static_cast<std::uint8_t>(userFill) : 0xFF;
}

bool DumpEditCore::ResizeBuffer(std::uint32_t n) {
  if (!buffer_.Resize(n, TailFill())) {
    ShowMessage(messages::kResizeMemoryError);
    return false;
  }
  // The view moves to the start before the grids are drawn, so what they show is where
  // typed bytes go.
  view_.ResetForSize(buffer_.BufSize());
  grids_.RefreshGrids();
  return true;
}

void DumpEditCore::WriteBufferInfo() const {
  buffer::WriteBufferInfo({.BufSize = buffer_.BufSize(),
                           .FileSize = fields_.FileSize,
                           .FileStartAdd = fields_.FileStartAdd,
                           .BufHandle = buffer_.Handle()});
}

bool DumpEditCore::CanClose(winapi::Owner owner) const {
  if (grids_.Modified() != 1) return true;
  return ShowMessage(messages::kCloseQuestion, owner) == winapi::IDOK;
}

bool DumpEditCore::CheckEditsOnClose() {
  const bool changed = buffer_.exists() && records_.AnyChanged(buffer_);
  records_.Clear();
  return changed;
}

}  // namespace buffer
