#pragma once
// Everything the Dump Edit form holds apart from its widgets: the data buffer, the view,
// the grid editing state, the edit records and the plain fields other commands read and
// write. One instance per form, built for one profile (the console's or the update tool's).
#include <array>
#include <cstdint>
#include <string>

#include "buffer/core/DataBuffer.h"
#include "buffer/core/DumpView.h"
#include "buffer/core/EditProfile.h"
#include "buffer/core/EditRecords.h"
#include "buffer/core/GridEditor.h"
#include "buffer/core/Messages.h"
#include "platform/winapi/MessageBox.h"

namespace buffer {

namespace messages {
inline constexpr Message kCreateMemoryError{"Memory Error !", "Dump Edit", winapi::MB_ICONERROR};
inline constexpr Message kResizeMemoryError{"Memory error !", "Buffer Resize.", winapi::MB_OK};
inline constexpr Message kCloseQuestion{"Are you sure to close file ?", "CLOSE",
                                        winapi::MB_OKCANCEL};
}  // namespace messages

// The fields that later commands (checksum, loads, search, buffer map) keep in the form.
struct DumpEditFields {
  std::int32_t SearchRequested = 0;
  std::uint32_t RunSum = 0;
  std::int32_t FileStartAdd = 0;
  std::int32_t FileSize = 0;
  std::string SearchPattern;  // hex text, at most 256 characters
  std::int32_t SearchDirection = 0;
  std::int32_t MapOffset = 0;
  std::uint32_t LastSum = 0;
  std::int32_t LastSumStart = 0;
  std::int32_t LastSumEnd = 0;
  std::int32_t SplitMode = 0;
  // The update tool's accepted image: its format identifier and model, all 0 when none.
  std::array<char, 20> FileFormatId{};
  std::array<char, 20> FileModel{};
};

class DumpEditCore {
 public:
  explicit DumpEditCore(const EditProfile& profile);

  const EditProfile& profile() const { return profile_; }
  DataBuffer& buffer() { return buffer_; }
  const DataBuffer& buffer() const { return buffer_; }
  DumpView& view() { return view_; }
  const DumpView& view() const { return view_; }
  GridEditor& grids() { return grids_; }
  const GridEditor& grids() const { return grids_; }
  EditRecords& records() { return records_; }
  const EditRecords& records() const { return records_; }
  DumpEditFields& fields() { return fields_; }
  const DumpEditFields& fields() const { return fields_; }

  // The form's creation: the profile's buffer, the view at the start. False (after the
  // "Memory Error !" box, which has no owner: the form is not on screen yet) when there is no
  // memory; the form then has no buffer and BufSize 0.
  bool Create();
  // Grows or shrinks the buffer to n bytes; new bytes get the profile's tail fill. The view
  // goes back to the start and the grids show it. False with nothing changed, after the
  // "Memory error !" box, when there is no memory.
  bool ResizeBuffer(std::uint32_t n);
  // Every byte of [0, BufSize) := value; no refresh.
  void FillBuffer(std::uint8_t value) { buffer_.Fill(value); }

  // [BufInf] of the settings file: BufSize, FileSize, BufHandle, FileStartAdd.
  void WriteBufferInfo() const;

  // The close question: true when the form may close (no edits, or the user said OK).
  bool CanClose(winapi::Owner owner) const;
  // The close itself: true when a remembered cell no longer holds its text, so the caller
  // appends the "Data are changed" note; the records are emptied either way.
  bool CheckEditsOnClose();

 private:
  std::uint8_t TailFill() const;

  const EditProfile& profile_;
  DataBuffer buffer_;
  DumpView view_;
  EditRecords records_;
  GridEditor grids_;
  DumpEditFields fields_;
};

}  // namespace buffer
