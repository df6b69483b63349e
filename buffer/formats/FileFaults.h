#pragma once
// The file calls of the load and save roads, each of which a test can make fail as a full
// disk, a failing device or a file taken away would, or use to change a file while it is
// being read. Without a fault every call runs as it is.
#include <functional>
#include <string>

namespace formats {

enum class FileCall { Open, Read, Write, Sync, Close, Rename };

// Called before each such call with the path of its file: the errno value to fail the call
// with, 0 to let it run.
using FileFault = std::function<int(FileCall call, const std::string& path)>;
// Returns the previous fault.
FileFault SetFileFault(FileFault fault);

// The injected failure of this call: 0 to go on, else the errno value (errno is set to it).
int InjectedFailure(FileCall call, const std::string& path);

}  // namespace formats
