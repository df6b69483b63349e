#include "platform/winapi/IniFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/winapi/FileReplace.h"
#include "platform/winapi/Paths.h"

namespace {

// Keys and values are trimmed as the dialogs trim a typed name before they store it, so a name
// reads back as the name that was checked.
std::string Trim(const std::string& text) { return winapi::StoredName(text); }

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (std::tolower(x) != std::tolower(y)) return false;
  }
  return true;
}

// "[name]" gives name; anything else is not a section header.
std::optional<std::string> SectionName(const std::string& line) {
  std::string trimmed = Trim(line);
  if (trimmed.size() < 2 || trimmed.front() != '[') return std::nullopt;
  size_t close = trimmed.find(']');
  if (close == std::string::npos) return std::nullopt;
  return Trim(trimmed.substr(1, close - 1));
}

bool IsComment(const std::string& line) {
  std::string trimmed = Trim(line);
  return trimmed.empty() || trimmed.front() == ';';
}

struct Entry {
  std::string key;
  std::string value;
};

std::optional<Entry> ParseEntry(const std::string& line) {
  if (IsComment(line) || SectionName(line)) return std::nullopt;
  size_t eq = line.find('=');
  if (eq == std::string::npos) return std::nullopt;
  return Entry{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

// Where a section lies in the file: its header line and one past its last line.
struct SectionSpan {
  size_t header;
  size_t end;
};

std::optional<SectionSpan> FindSection(const std::vector<std::string>& lines,
                                       const std::string& section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    auto name = SectionName(lines[i]);
    if (!name || !SameName(*name, section)) continue;
    size_t end = i + 1;
    while (end < lines.size() && !SectionName(lines[end])) ++end;
    return SectionSpan{i, end};
  }
  return std::nullopt;
}

std::optional<size_t> FindKey(const std::vector<std::string>& lines, const SectionSpan& span,
                              const std::string& key) {
  for (size_t i = span.header + 1; i < span.end; ++i) {
    auto entry = ParseEntry(lines[i]);
    if (entry && SameName(entry->key, key)) return i;
  }
  return std::nullopt;
}

// Removes a section with its keys; false when the file has none of that name.
bool EraseSpan(std::vector<std::string>& lines, const std::string& section) {
  auto span = FindSection(lines, section);
  if (!span) return false;
  lines.erase(lines.begin() + static_cast<long>(span->header),
              lines.begin() + static_cast<long>(span->end));
  return true;
}

std::optional<int> ParseDecimal(const std::string& text) {
  if (text.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != '\0' || errno == ERANGE || value < INT_MIN ||
      value > INT_MAX)
    return std::nullopt;
  return static_cast<int>(value);
}

IniWriteFault& WriteFault() {
  static IniWriteFault fault;
  return fault;
}

std::vector<IniWriteWatch*>& LiveWatches() {
  static std::vector<IniWriteWatch*> watches;
  return watches;
}

// Serialises the rewrites of one settings file between programs (two consoles started in one
// folder share History.ini). The lock is held on the file's folder, which the rename that
// replaces the file leaves in place and which opens without a write right; where the folder
// cannot be opened at all, the rewrite goes on unlocked, as a write to it would fail anyway.
class FolderLock {
 public:
  explicit FolderLock(const std::string& file) {
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    fd_ = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  ~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace

IniWriteFault SetIniWriteFault(IniWriteFault fault) {
  IniWriteFault previous = std::move(WriteFault());
  WriteFault() = std::move(fault);
  return previous;
}

IniWriteWatch::IniWriteWatch(const std::string& fileName)
    : path_(winapi::NativePath(fileName)) {
  LiveWatches().push_back(this);
}

IniWriteWatch::~IniWriteWatch() { std::erase(LiveWatches(), this); }

TIniFile::TIniFile(const std::string& fileName) : path_(winapi::NativePath(fileName)) {}

std::vector<std::string> TIniFile::ReadLines() const {
  std::vector<std::string> lines;
  std::ifstream in(path_, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool TIniFile::Rewrite(const std::function<bool(std::vector<std::string>&)>& change) const {
  FolderLock lock(winapi::ReplacedFile(path_));
  std::vector<std::string> lines = ReadLines();
  return !change(lines) || WriteLines(lines);
}

bool TIniFile::WriteLines(const std::vector<std::string>& lines) const {
  int error = WriteFault() ? WriteFault()(path_) : 0;
  if (error == 0) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    error = winapi::ReplaceFileContent(path_, text);
  }
  if (error != 0) ReportWriteFailure(error);
  return error == 0;
}

void TIniFile::ReportWriteFailure(int error) const {
  std::shared_ptr<IniWriteFailure> failure;
  for (IniWriteWatch* watch : LiveWatches()) {
    if (watch->path_ != path_ || watch->failure_) continue;
    if (!failure) failure = std::make_shared<IniWriteFailure>(IniWriteFailure{path_, error});
    watch->failure_ = failure;
  }
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  std::vector<std::string> lines = ReadLines();
  auto span = FindSection(lines, section);
  if (!span) return defaultValue;
  auto at = FindKey(lines, *span, key);
  if (!at) return defaultValue;
  return ParseEntry(lines[*at])->value;
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key,
                          int defaultValue) const {
  return ParseDecimal(ReadString(section, key, "")).value_or(defaultValue);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key,
                        bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
  return Rewrite([&](std::vector<std::string>& lines) {
    std::string line = key + "=" + value;
    auto span = FindSection(lines, section);
    if (!span) {
      lines.push_back("[" + section + "]");
      lines.push_back(line);
    } else if (auto at = FindKey(lines, *span, key)) {
      // Keep the key's spelling as the file has it.
      lines[*at] = ParseEntry(lines[*at])->key + "=" + value;
    } else {
      size_t insert = span->end;
      while (insert > span->header + 1 && Trim(lines[insert - 1]).empty()) --insert;
      lines.insert(lines.begin() + static_cast<long>(insert), line);
    }
    return true;
  });
}

bool TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::SectionExists(const std::string& section) const {
  return FindSection(ReadLines(), section).has_value();
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
  std::vector<std::string> lines = ReadLines();
  auto span = FindSection(lines, section);
  return span && FindKey(lines, *span, key);
}

std::vector<std::string> TIniFile::ReadSection(const std::string& section) const {
  std::vector<std::string> keys;
  std::vector<std::string> lines = ReadLines();
  auto span = FindSection(lines, section);
  if (!span) return keys;
  for (size_t i = span->header + 1; i < span->end; ++i) {
    if (auto entry = ParseEntry(lines[i])) keys.push_back(entry->key);
  }
  return keys;
}

bool TIniFile::EraseSection(const std::string& section) {
  return Rewrite([&](std::vector<std::string>& lines) { return EraseSpan(lines, section); });
}

bool TIniFile::ReplaceSection(const std::string& section,
                              const std::vector<std::pair<std::string, std::string>>& entries) {
  return Rewrite([&](std::vector<std::string>& lines) {
    const bool erased = EraseSpan(lines, section);
    if (entries.empty()) return erased;
    lines.push_back("[" + section + "]");
    for (const auto& [key, value] : entries) lines.push_back(key + "=" + value);
    return true;
  });
}

bool TIniFile::DeleteKey(const std::string& section, const std::string& key) {
  return Rewrite([&](std::vector<std::string>& lines) {
    auto span = FindSection(lines, section);
    if (!span) return false;
    auto at = FindKey(lines, *span, key);
    if (!at) return false;
    lines.erase(lines.begin() + static_cast<long>(*at));
    return true;
  });
}
