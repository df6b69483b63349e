#pragma once
// The update tool's binary load of an image file: the file named in [LoadDlg], read whole
// (its source range does not limit the read), placed at [LoadDlg] DistSadd, the buffer grown
// to hold it; FileSize is the end of the placed data and LastSum their byte sum.
#include "buffer/core/DumpEditCore.h"
#include "buffer/core/Messages.h"

namespace update {

namespace messages {
inline constexpr buffer::Message kDestinationError{"Input Value Error !", "ERROR", winapi::MB_ICONERROR};
}  // namespace messages

// False, after the reader's box or "Input Value Error !" (a destination that is negative or
// puts the end past the largest address), with the buffer and the fields unchanged.
bool LoadImageFile(buffer::DumpEditCore& child);

}  // namespace update
