#include "buffer/formats/FileFaults.h"

#include <cerrno>

namespace formats {
namespace {

FileFault& Fault() {
  static FileFault fault;
  return fault;
}

}  // namespace

FileFault SetFileFault(FileFault fault) {
  FileFault previous = std::move(Fault());
  Fault() = std::move(fault);
  return previous;
}

int InjectedFailure(FileCall call, const std::string& path) {
  if (!Fault()) return 0;
  const int error = Fault()(call, path);
  if (error != 0) errno = error;
  return error;
}

}  // namespace formats
