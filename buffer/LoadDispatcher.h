#pragma once
// The road from a file on disk into the data buffer: the Load command behind the Dump Edit's
// and the console's Load buttons, the file read, and the dispatcher that settles the format,
// runs its reader, places the data, records where they lie and reports the checksum.
// GANG TOOLS writes [LoadDlg] itself and calls ReadBinaryFile and LoadFileToBuffer with
// reports and messages off.
#include <cstdint>
#include <functional>
#include <string>

#include "buffer/formats/FileImage.h"

namespace buffer {

class TMainEdit;

// Reads the file [LoadDlg] names (its source range, or all of it) into `image` and its
// size into `size`. 1 on success; 0 after the reader's box, both outputs then untouched.
int ReadBinaryFile(TMainEdit& editor, std::int32_t& size, formats::FileImage& image);

// The report argument of the Load command: the file box.
inline constexpr int kChecksumFileReportArgument = 2;

// Places the image in the buffer as LastLoadFormat says (detected when it is 0, the code
// found written back to [LoadDlg] Format). `report`: 0 no checksum box, 1 the range box,
// any other value the file box; `messages` 1 shows detection's success boxes. 1 when data
// were placed (or nothing was to be placed), 0 when the file was refused: the buffer, its
// size and FileStartAdd/FileSize are then as they were. The image is consumed either way.
int LoadFileToBuffer(TMainEdit& editor, formats::FileImage image, std::int32_t size, int report,
                     int messages);

// The Load command's action (installed for ToolCommand::Load): JEDEC files go to the JEDEC
// loader, every other file through ReadBinaryFile and LoadFileToBuffer with the file report
// and detection boxes, then the information page.
void RunLoadCommand(TMainEdit& editor);

// Installs RunLoadCommand as the Load button's action.
void InstallLoadCommand();

// What the console adds to the Load command. The buffer code does not know the console's
// main form; the console installs these at start-up.
struct LoadCommandHooks {
  // Loads the named JEDEC file (its text read, parsed and checked); true when the file
  // passed the check, so the grids show it and the transfers send fuses.
  std::function<bool(TMainEdit& editor, const std::string& name)> loadJedec;
  // The main form's JedecSendMode: 1 after a JEDEC load, 0 after every other load attempt.
  std::function<void(std::int32_t mode)> setJedecSendMode;
};
void SetLoadCommandHooks(LoadCommandHooks hooks);

}  // namespace buffer
