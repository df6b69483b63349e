#pragma once
// Replacing a file without ever leaving it cut: the new content goes into a file beside it
// (in the same folder, so the rename cannot cross file systems) and is renamed over it only
// once it is whole. A failure at any step leaves the old file exactly as it was.
#include <functional>
#include <string>
#include <string_view>

namespace winapi {

// The file a write to `path` replaces: where a symbolic link points, so the link stays one.
std::string ReplacedFile(const std::string& path);

// Called with the name of each file about to be created: the errno value to refuse it with
// (tests' injected faults), 0 to go on.
using CreateFault = std::function<int(const std::string& name)>;

// Creates an empty file beside `target`, with the target's permissions when it exists
// (otherwise those the process gives new files). Its name, or empty with errno set.
std::string CreateFileBeside(const std::string& target, const CreateFault& fault = {});

// Makes `text` the whole content of `path` (a symbolic link is followed), through a file
// beside it. A file that exists but that this user may not write is refused as the platform
// refuses a read-only file, although its folder would let it be replaced. No sync to disk:
// callers that rewrite a small file many times in a row must stay fast. 0, or the errno
// value of the step that failed.
int ReplaceFileContent(const std::string& path, std::string_view text);

}  // namespace winapi
