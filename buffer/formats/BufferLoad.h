#pragma once
// The load dispatcher without its widgets, in either program's profile: settles the format
// (LastLoadFormat or [LoadDlg] Format, detected when it is 0), runs the format's reader, places what it read with the merge the format calls
// for, records FileStartAdd and FileSize and computes the checksum. The Dump Edit's
// dispatcher (buffer/LoadDispatcher.h) wraps it with the Get Check Sum command and the grid
// refresh; the format bench calls it on a bare buffer.
#include <cstdint>

#include "buffer/core/DumpEditCore.h"
#include "buffer/formats/FileImage.h"
#include "buffer/formats/IntelHex.h"
#include "buffer/formats/LoadSource.h"
#include "platform/winapi/MessageBox.h"

namespace formats {

// `report`: the console's 0 no checksum box, 1 the range box, anything else the file box;
// the update tool's 1 the sum box, anything else none.
struct LoadRequest {
  int report = 0;
  int messages = 0;  // 1: detection shows its success boxes
  winapi::Owner owner = nullptr;
  SegmentBaseChooser& chooser;
  const LoadProfile& profile = ConsoleLoad();
};

enum class LoadOutcome {
  kRefused,    // the reader's or the merge's box was shown; the buffer is as it was
  kLoaded,     // placed (or nothing to place) and summed as the report asked
  kAskForSum,  // placed; the caller runs the Get Check Sum command for its report (POF)
};

// `size` is the file image's size as ReadBinaryFile gave it: a buffer shorter than that is
// grown to it once the reader has taken the file.
LoadOutcome LoadIntoBuffer(buffer::DumpEditCore& form, FileImage image, int32_t size,
                           const LoadRequest& request);

}  // namespace formats
