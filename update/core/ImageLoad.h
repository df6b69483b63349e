#pragma once
// The update tool's load of an image file into a Dump Edit child: the file [LoadDlg] names,
// read whole (its source range does not limit the read), then placed by the shared load
// dispatcher in the update tool's profile (formats/LoadSource.h: its detectors and readers,
// every binary file whole at [LoadDlg] DistSadd, the buffer grown to hold it). FileSize is
// the end of the placed data and LastSum their byte sum.
#include <cstdint>

#include "buffer/core/DumpEditCore.h"
#include "buffer/formats/FileImage.h"
#include "platform/winapi/MessageBox.h"

namespace update {

// The whole file [LoadDlg] Name names into `image`. 1, or 0 after "FILE NOT FOUND !",
// "Memory error." (no memory, or a file too large for an image) or "Cannot read ...".
int ReadBinaryFile(formats::FileImage& image);

// Places the image in the child as [LoadDlg] Format says (detected when it is 0, the code
// found written back). `report` 1 shows the sum ("%08lX" / "Get Check Sum"), `messages` 1
// the detectors' success boxes; the readers' boxes belong to `owner`. 1 when placed; 0 after
// the reader's box, or "Input Value Error !" when DistSadd is negative or the data's end
// would pass 0x7FFFFFFF, with the buffer and its file fields unchanged. The image is consumed.
int LoadFileToBuffer(buffer::DumpEditCore& child, formats::FileImage image, int report,
                     int messages, winapi::Owner owner);

// Both, as File > Load and the child's Load button run them: no reports, no success boxes.
bool LoadImageFile(buffer::DumpEditCore& child, winapi::Owner owner);

}  // namespace update
