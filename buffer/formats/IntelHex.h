#pragma once
// Intel Hex files: the detector, the reader into an image by address, and the writer.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "buffer/formats/FileImage.h"
#include "platform/winapi/MessageBox.h"

namespace formats {

struct ReaderDialect;

// Where the data of a file go whose first extended segment record names a non-zero base.
// The start-address form answers in the programs; tests and the measuring tool answer
// without a box.
class SegmentBaseChooser {
 public:
  virtual ~SegmentBaseChooser() = default;
  // The base added to the record addresses from here on, given the file's own base
  // (the record's value times 16).
  virtual uint32_t ChooseSegmentBase(uint32_t fileBase) = 0;
};

// The form's default answer: the file's own base.
class KeepFileSegmentBase : public SegmentBaseChooser {
 public:
  uint32_t ChooseSegmentBase(uint32_t fileBase) override { return fileBase; }
};

// The form's three choices, by radio index.
enum class StartAddressChoice : int { ForceZero = 0, FileDefault = 1, SetAddress = 2 };
// The base a choice gives: 0, the file's base, or the typed destination (hex, empty 0).
uint32_t SegmentBaseForChoice(StartAddressChoice choice, uint32_t fileBase,
                              const std::string& destinationText);

// A hex reader's result: the bytes of its ParsedImage, address 0 first; `highest` is the
// last address written (0 without data).
struct HexLoadResult {
  int32_t lowest = 0;
  int32_t highest = 0;
  std::vector<uint8_t> image;  // holds at least highest + 1 bytes
};

// True when a data record with a good checksum turns up before the scan has stepped over
// 128 other characters. Mode: FormatMessages.h.
bool DetectIntelHex(int mode, const FileImage& file);
// The same with the dialect's step limit (none in the update tool) and boxes.
bool DetectIntelHex(int mode, const FileImage& file, const ReaderDialect& dialect);

// Reads the records into an image of BufSize bytes of fill (growing with 0x00 as the
// addresses need, up to ParsedImage::kLimit). Nothing after "FORMAT ERROR !" (a record cut
// short, no record at all, a bad digit, data beyond the limit) or "Memory Error.";
// checksum mismatches show "File read error!!\n" and keep the data.
std::optional<HexLoadResult> ParseIntelHex(winapi::Owner owner, uint8_t fill, FileImage file,
                                           int32_t bufSize, SegmentBaseChooser& chooser);
// The same in the dialect: in the update tool type 04 records are passed over (their data
// land without a linear base) and mismatches show "File read in complete!...".
std::optional<HexLoadResult> ParseIntelHex(winapi::Owner owner, uint8_t fill, FileImage file,
                                           int32_t bufSize, SegmentBaseChooser& chooser,
                                           const ReaderDialect& dialect);

// The largest range the writer's segment records can address.
inline constexpr int32_t kIntelHexLargestSave = 0x100000;

// Writes `length` bytes (rounded up to whole 32-byte records) of the block from `start` as
// Intel Hex with record addresses counted from 0. False, with no file written, when the
// rounded range is not inside the block or longer than kIntelHexLargestSave; false too
// when a write fails.
bool WriteIntelHex(const std::string& name, int32_t length, int32_t start,
                   std::span<const uint8_t> block);

}  // namespace formats
