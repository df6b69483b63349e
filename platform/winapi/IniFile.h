#pragma once
// Profile (INI) files with the semantics the programs were written against: section and key
// names compare without case, values are trimmed on read, integers are decimal with the
// default for anything else, a missing file reads as defaults, and every call reads or
// writes the file itself, so a write by one form is seen by the next read of another.
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TIniFile {
 public:
  explicit TIniFile(const std::string& fileName);

  const std::string& FileName() const { return path_; }

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

  // Replaces the value in place when the key exists; otherwise appends the key to its
  // section, or the section to the file. Returns false when the file cannot be written; the
  // file then holds exactly what it held before, and every IniWriteWatch of it hears why.
  bool WriteString(const std::string& section, const std::string& key, const std::string& value);
  bool WriteInteger(const std::string& section, const std::string& key, int value);
  bool WriteBool(const std::string& section, const std::string& key, bool value);

  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;
  // The key names of a section, in file order.
  std::vector<std::string> ReadSection(const std::string& section) const;
  bool EraseSection(const std::string& section);
  // The section, with the keys and values given in their order, moved to the end of the file
  // in one rewrite (none left when there are none), so a failure keeps the old section whole.
  bool ReplaceSection(const std::string& section,
                      const std::vector<std::pair<std::string, std::string>>& entries);
  bool DeleteKey(const std::string& section, const std::string& key);

 private:
  std::vector<std::string> ReadLines() const;
  // One read, change and rewrite of the file that no other program's rewrite interleaves
  // with. `change` returns false when the file needs no rewrite.
  bool Rewrite(const std::function<bool(std::vector<std::string>&)>& change) const;
  bool WriteLines(const std::vector<std::string>& lines) const;
  // Tells every live watch of this file of a failed write.
  void ReportWriteFailure(int error) const;

  std::string path_;
};

// A write of a settings file that failed: the file and the errno value that says why.
struct IniWriteFailure {
  std::string file;
  int error = 0;
  // Set once the user has been told, so commands nested in one another tell it once.
  bool told = false;
};

// Watches the writes of one settings file while it lives, so that a command can refuse to
// act on what the file held before a write that did not happen. Watches may nest: each
// hears of every failure made while it lives, and all of them share one record of it.
class IniWriteWatch {
 public:
  explicit IniWriteWatch(const std::string& fileName);
  ~IniWriteWatch();
  IniWriteWatch(const IniWriteWatch&) = delete;
  IniWriteWatch& operator=(const IniWriteWatch&) = delete;

  // The first failed write of the file since the watch began, nullptr while there is none.
  IniWriteFailure* Failure() const { return failure_.get(); }

 private:
  friend class TIniFile;
  std::string path_;
  std::shared_ptr<IniWriteFailure> failure_;
};

// Called before every write of a settings file with its path: the errno value to fail the
// write with, 0 to let it run. For tests, which run as a user that file modes do not stop.
using IniWriteFault = std::function<int(const std::string& path)>;
// Returns the previous fault.
IniWriteFault SetIniWriteFault(IniWriteFault fault);
