#pragma once
// The benchmarks' files lie in a folder of the run's own under the temporary folder, made
// by the first benchmark that needs them. The folder goes at exit, and only a run that made
// it pays for it: the load and save commands never do.
#include <filesystem>
#include <system_error>

namespace formatbench {

// Removes `dir` at exit, once a benchmark has set it.
struct FolderCleaner {
  std::filesystem::path dir;
  ~FolderCleaner() {
    std::error_code error;
    if (!dir.empty()) std::filesystem::remove_all(dir, error);
  }
};

}  // namespace formatbench
