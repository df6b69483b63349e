#include "buffer/formats/BufferLoad.h"

#include <algorithm>

#include "buffer/core/Checksum.h"
#include "buffer/core/DialogSettings.h"
#include "buffer/core/LoadFormat.h"
#include "buffer/core/Merge.h"
#include "buffer/core/SettingsPath.h"
#include "buffer/formats/FormatMessages.h"
#include "buffer/formats/LoadSource.h"
#include "buffer/formats/MotorolaS.h"
#include "platform/winapi/IniFile.h"

namespace formats {
namespace {

constexpr const char* kLoadSection = "LoadDlg";

struct SettledFormat {
  int32_t code;
  bool detected;  // found by detection
};

// The code the load runs under: LastLoadFormat (or the section's Format), or what detection
// finds when that is 0. The section's Format names the code used, so the information page
// shows the format found; a file that cannot take it keeps what it held, which the page then
// names.
SettledFormat SettleFormat(const FileImage& image, const LoadSettings& settings, int messages,
                           const LoadProfile& profile) {
  SettledFormat format{profile.formatFromLastChoice ? buffer::LastLoadFormat() : settings.format,
                       false};
  if (format.code == buffer::kFormatAutoDetect) {
    format.code =
        DetectLoadFormat(image, messages == 1 ? kDetectOnSuccess : kDetectSilent, profile);
    format.detected = true;
  }
  if (format.code != settings.format) {
    // The load stands on the format found even when the file cannot keep it; the user is
    // told, once, as of any other settings write.
    const IniWriteWatch writes(buffer::SettingsPath());
    TIniFile(buffer::SettingsPath()).WriteInteger(kLoadSection, "Format", format.code);
    buffer::SettingsWritten(writes);
  }
  return format;
}

// The buffer's size once the file is in: a Motorola load's buffer is always
// kMotorolaLoadBufSize bytes, any other at least the image's size. The reader works with it
// before the buffer itself changes.
int32_t LoadedBufferSize(const LoadProfile& profile, int32_t format, int32_t bufSize,
                         int32_t imageSize) {
  if (profile.motorolaFullBuffer && format == buffer::kFormatMotorolaHex)
    return kMotorolaLoadBufSize;
  return std::max(bufSize, imageSize);
}

// The data's addresses, [destination, destination + length), lie within 0 .. 0x7FFFFFFF.
bool InsideAddresses(const LoadedSource& source) {
  return source.destination >= 0 && int64_t{source.destination} + source.length <= INT32_MAX;
}

bool Place(buffer::DumpEditCore& form, LoadedSource& source) {
  if (source.merge == MergeRoute::Plain) {
    if (source.fillUnused) {
      return buffer::MergeWithSplitMode(form, std::move(source.block), source.length,
                                        source.destination, source.fill);
    }
    return buffer::MergeData(form, std::move(source.block), source.length, source.destination);
  }
  if (source.fillUnused) {
    return buffer::MergeSplitWithFill(form, std::move(source.block), source.length,
                                      source.destination, source.fill, source.stride);
  }
  return buffer::MergeSplit(form, std::move(source.block), source.length, source.destination,
                            source.stride);
}

}  // namespace

LoadOutcome LoadIntoBuffer(buffer::DumpEditCore& form, FileImage image, int32_t size,
                           const LoadRequest& request) {
  const LoadProfile& profile = request.profile;
  const LoadSettings settings = ReadLoadSettings();
  const SettledFormat format = SettleFormat(image, settings, request.messages, profile);
  // A refused file leaves the buffer as it was: it is resized only after the reader took
  // the file.
  const int32_t bufSize = LoadedBufferSize(profile, format.code, form.buffer().BufSize(), size);
  std::optional<LoadedSource> source =
      ReadLoadSource(format.code, std::move(image), settings,
                     {request.owner, request.chooser, bufSize, profile, format.detected});
  if (!source) return LoadOutcome::kRefused;
  if (profile.destinationChecked && source->place && !InsideAddresses(*source)) {
    buffer::ShowMessage(messages::kDestinationOutside);
    return LoadOutcome::kRefused;
  }
  if (form.buffer().BufSize() != bufSize) form.ResizeBuffer(static_cast<uint32_t>(bufSize));

  buffer::DumpEditFields& fields = form.fields();
  const int32_t previousStart = fields.FileStartAdd;
  // The split parity counts from FileStartAdd: it is set before the merge.
  fields.FileStartAdd = source->fileStartAdd;
  if (!source->place) return LoadOutcome::kLoaded;
  if (!Place(form, *source)) {
    fields.FileStartAdd = previousStart;
    return LoadOutcome::kRefused;
  }
  fields.FileSize = source->fileSize;
  if (source->checksum == ChecksumRoute::GetSumCommand && request.report != 0) {
    return LoadOutcome::kAskForSum;
  }
  // Without reports the Get Check Sum command would still open its dialog: the sum of the
  // placed bytes is stored without a box instead, as for every other format.
  const int mode = source->checksum == ChecksumRoute::Range ? profile.checksumMode(request.report)
                                                            : buffer::kChecksumStoreOnly;
  buffer::ComputeChecksum(form, source->checksumStart, source->checksumEnd, mode);
  return LoadOutcome::kLoaded;
}

}  // namespace formats
