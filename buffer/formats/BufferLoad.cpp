#include "buffer/formats/BufferLoad.h"

#include <algorithm>

#include "buffer/core/Checksum.h"
#include "buffer/core/LoadFormat.h"
#include "buffer/core/Merge.h"
#include "buffer/core/SettingsPath.h"
#include "buffer/formats/FormatMessages.h"
#include "buffer/formats/LoadSource.h"
#include "platform/winapi/IniFile.h"

namespace formats {
namespace {

constexpr const char* kLoadSection = "LoadDlg";

// The code the load runs under: LastLoadFormat, or what detection finds when that is 0. The
// section's Format names the code used, so the information page shows the format found.
int32_t SettleFormat(const FileImage& image, const LoadSettings& settings, int messages) {
  int32_t format = buffer::LastLoadFormat();
  if (format == buffer::kFormatAutoDetect) {
    format = DetectLoadFormat(image, messages == 1 ? kDetectOnSuccess : kDetectSilent);
  }
  if (format != settings.format) {
    TIniFile(buffer::SettingsPath()).WriteInteger(kLoadSection, "Format", format);
  }
  return format;
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

int ChecksumModeOf(int report) {
  if (report == 0) return buffer::kChecksumStoreOnly;
  return report == 1 ? buffer::kChecksumRangeReport : buffer::kChecksumFileReport;
}

LoadOutcome LoadIntoBuffer(buffer::DumpEditCore& form, FileImage image, int32_t size,
                           const LoadRequest& request) {
  const LoadSettings settings = ReadLoadSettings();
  const int32_t format = SettleFormat(image, settings, request.messages);
  // The readers see the buffer as it will be once the file is in (at least the image's
  // size), but the buffer itself changes only after a reader has taken the file.
  const int32_t bufSize = std::max(form.buffer().BufSize(), size);
  std::optional<LoadedSource> source =
      ReadLoadSource(format, std::move(image), settings, {request.owner, request.chooser, bufSize});
  if (!source) return LoadOutcome::kRefused;
  if (form.buffer().BufSize() < size) form.ResizeBuffer(static_cast<uint32_t>(size));

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
  const int mode = source->checksum == ChecksumRoute::Range ? ChecksumModeOf(request.report)
                                                            : buffer::kChecksumStoreOnly;
  buffer::ComputeChecksum(form, source->checksumStart, source->checksumEnd, mode);
  return LoadOutcome::kLoaded;
}

}  // namespace formats
