#include "buffer/core/LoadFormat.h"

namespace buffer {
namespace {

int32_t g_lastLoadFormat = kFormatAutoDetect;

}  // namespace

int32_t LastLoadFormat() { return g_lastLoadFormat; }
void SetLastLoadFormat(int32_t format) { g_lastLoadFormat = format; }

}  // namespace buffer
