#include "buffer/formats/FormatMessages.h"

namespace formats {

bool ReportDetection(const DetectorMessages& messages, int mode, bool isFormat) {
  if (isFormat && mode == kDetectOnSuccess) buffer::ShowMessage(messages.success);
  if (!isFormat && mode == kDetectOnFailure) buffer::ShowMessage(messages.failure);
  return isFormat;
}

}  // namespace formats
