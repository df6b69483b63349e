#pragma once
// GANG TOOLS' job queue and the file picking that fills it, without widgets. Each queued file
// keeps the folder it was picked from, so a same-named file of another folder is never the
// one a job loads. While sorting is on the queue stays in name order (without regard to
// case); otherwise it keeps the order of adding.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace console {

struct QueuedFile {
  std::string name;    // the bare file name the queue shows
  std::string folder;  // where it was picked
  std::string Path() const;
};

// Name order without regard to case; names equal but for case keep their order.
bool NameLess(std::string_view a, std::string_view b);

class JobQueue {
 public:
  const std::vector<QueuedFile>& items() const { return items_; }
  bool empty() const { return items_.empty(); }
  const QueuedFile& front() const { return items_.front(); }
  bool sorting() const { return sorting_; }

  // Switching sorting on sorts what is queued; switching it off keeps the present order.
  void SetSorting(bool on);
  // Duplicates are kept; while sorting, each goes after the names equal to it.
  void Add(std::vector<QueuedFile> files);
  // Removes the items at these indices (any order; indices past the end are ignored).
  void Remove(std::vector<size_t> indices);
  void Clear() { items_.clear(); }
  void PopFront();

 private:
  std::vector<QueuedFile> items_;
  bool sorting_ = true;
};

// A file mask such as "*.bin" or "*.*", matched without regard to case. '*' stands for any
// run of characters, '?' for one; "*.*" matches every name, one without a dot included.
bool MatchesMask(std::string_view name, std::string_view mask);

// The masks of a filter written "description|mask|description|mask...", in order.
struct FilterEntry {
  std::string description;
  std::string mask;
};
std::vector<FilterEntry> ParseFilter(std::string_view filter);

inline constexpr const char* kGangToolFilter =
    "All files (*.*)|*.*|bin|*.bin|mot|*.mot|upd|*.upd|rom|*.rom";

// The regular files of a folder whose names match the mask, in name order; hidden files
// (a leading dot) are left out. An unreadable folder gives none.
std::vector<std::string> ListMatchingFiles(const std::string& folder, std::string_view mask);
// The folders inside a folder, in name order, hidden ones left out.
std::vector<std::string> ListSubfolders(const std::string& folder);

// The entries of `names` (bare names in `folder`) that still are regular files there, as
// queue items, in the order given.
std::vector<QueuedFile> ExistingFiles(const std::string& folder, const std::vector<std::string>& names);

}  // namespace console
