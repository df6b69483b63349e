#include "console/core/GangQueue.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "buffer/core/FileChecks.h"

namespace console {

namespace {

unsigned char Folded(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

bool SameFolded(char a, char b) { return Folded(a) == Folded(b); }

bool IsHidden(const std::string& name) { return name.empty() || name.front() == '.'; }

// The names of the folder's entries that pass `keep`, in name order.
template <class Keep>
std::vector<std::string> ListFolder(const std::string& folder, Keep&& keep) {
  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  for (const std::filesystem::directory_iterator end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    if (!IsHidden(name) && keep(*it, name)) names.push_back(std::move(name));
  }
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return NameLess(a, b);
  });
  return names;
}

}  // namespace

std::string QueuedFile::Path() const {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool NameLess(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Folded(x) < Folded(y); });
}

void JobQueue::SetSorting(bool on) {
  sorting_ = on;
  if (!on) return;
  std::stable_sort(items_.begin(), items_.end(),
                   [](const QueuedFile& a, const QueuedFile& b) { return NameLess(a.name, b.name); });
}

void JobQueue::Add(std::vector<QueuedFile> files) {
  const auto added = static_cast<std::ptrdiff_t>(items_.size());
  items_.insert(items_.end(), std::make_move_iterator(files.begin()), std::make_move_iterator(files.end()));
  if (!sorting_) return;
  // The queue is sorted already: sort the new ones among themselves and merge them in after
  // their equals, as adding them one by one would.
  const auto less = [](const QueuedFile& a, const QueuedFile& b) { return NameLess(a.name, b.name); };
  std::stable_sort(items_.begin() + added, items_.end(), less);
  std::inplace_merge(items_.begin(), items_.begin() + added, items_.end(), less);
}

void JobQueue::Remove(std::vector<size_t> indices) {
  std::sort(indices.begin(), indices.end());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
  for (auto it = indices.rbegin(); it != indices.rend(); ++it)
    if (*it < items_.size()) items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(*it));
}

void JobQueue::PopFront() {
  if (!items_.empty()) items_.erase(items_.begin());
}

bool MatchesMask(std::string_view name, std::string_view mask) {
  if (mask == "*.*") return true;
  // Greedy match with one back-track point: the last '*' seen.
  size_t n = 0;
  size_t m = 0;
  size_t starMask = std::string_view::npos;
  size_t starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || SameFolded(mask[m], name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

std::vector<FilterEntry> ParseFilter(std::string_view filter) {
  std::vector<std::string> parts;
  for (size_t start = 0;;) {
    const size_t bar = filter.find('|', start);
    parts.emplace_back(filter.substr(start, bar == std::string_view::npos ? bar : bar - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  std::vector<FilterEntry> entries;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) entries.push_back({parts[i], parts[i + 1]});
  return entries;
}

std::vector<std::string> ListMatchingFiles(const std::string& folder, std::string_view mask) {
  return ListFolder(folder, [mask](const std::filesystem::directory_entry& entry, const std::string& name) {
    std::error_code error;
    return entry.is_regular_file(error) && MatchesMask(name, mask);
  });
}

std::vector<std::string> ListSubfolders(const std::string& folder) {
  return ListFolder(folder, [](const std::filesystem::directory_entry& entry, const std::string&) {
    std::error_code error;
    return entry.is_directory(error);
  });
}

std::vector<QueuedFile> ExistingFiles(const std::string& folder, const std::vector<std::string>& names) {
  std::vector<QueuedFile> files;
  files.reserve(names.size());
  for (const std::string& name : names) {
    QueuedFile file{name, folder};
    if (buffer::CheckFileExists(file.Path(), false)) files.push_back(std::move(file));
  }
  return files;
}

}  // namespace console
