#pragma once
// Profile (INI) files with the semantics the programs were written against: section and key
// names compare without case, values are trimmed on read, integers are decimal with the
// default for anything else, a missing file reads as defaults, and every call reads or
// writes the file itself, so a write by one form is seen by the next read of another.
#include <string>
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
  // section, or the section to the file. Returns false when the file cannot be written.
  bool WriteString(const std::string& section, const std::string& key, const std::string& value);
  bool WriteInteger(const std::string& section, const std::string& key, int value);
  bool WriteBool(const std::string& section, const std::string& key, bool value);

  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;
  // The key names of a section, in file order.
  std::vector<std::string> ReadSection(const std::string& section) const;
  bool EraseSection(const std::string& section);
  bool DeleteKey(const std::string& section, const std::string& key);

 private:
  std::vector<std::string> ReadLines() const;
  bool WriteLines(const std::vector<std::string>& lines) const;

  std::string path_;
};
