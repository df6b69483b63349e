#pragma once
// The load dispatcher without its widgets: settles the format (LastLoadFormat, detected when
// it is 0), runs the format's reader, places what it read with the merge the format calls
// for, records FileStartAdd and FileSize and computes the checksum. The Dump Edit's
// dispatcher (buffer/LoadDispatcher.h) wraps it with the Get Check Sum command and the grid
// refresh; the format bench calls it on a bare buffer.
#include <cstdint>

#include "buffer/core/DumpEditCore.h"
#include "buffer/formats/FileImage.h"
#include "buffer/formats/IntelHex.h"
#include "platform/winapi/MessageBox.h"

namespace formats {

// The dispatcher's report argument as a ComputeChecksum mode: 0 none, 1 the range box,
// anything else the file box.
int ChecksumModeOf(int report);

struct LoadRequest {
  int report = 0;
  int messages = 0;  // 1: detection shows its success boxes
  winapi::Owner owner = nullptr;
  SegmentBaseChooser& chooser;
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
