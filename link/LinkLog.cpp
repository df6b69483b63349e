#include "link/LinkLog.h"

namespace qzlink {

namespace {
LinkErrorSink& Sink() {
  static LinkErrorSink sink;
  return sink;
}
}  // namespace

void SetLinkErrorSink(LinkErrorSink sink) { Sink() = std::move(sink); }

void LogLinkError(const std::string& text) {
  if (Sink()) Sink()(text);
}

}  // namespace qzlink
