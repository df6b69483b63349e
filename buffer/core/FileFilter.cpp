#include "buffer/core/FileFilter.h"

namespace buffer {
namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (true) {
    size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// The description without a trailing "(...)", which the Qt dialog reads as the patterns.
std::string_view BareDescription(std::string_view description) {
  description = TrimRight(description);
  if (description.empty() || description.back() != ')') return description;
  size_t open = description.rfind('(');
  if (open == std::string_view::npos) return description;
  return TrimRight(description.substr(0, open));
}

}  // namespace

std::vector<std::string> NameFilters(std::string_view windowsFilter) {
  std::vector<std::string_view> parts = Split(windowsFilter, '|');
  std::vector<std::string> filters;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string patterns;
    for (std::string_view pattern : Split(parts[i + 1], ';')) {
      if (pattern.empty()) continue;
      if (!patterns.empty()) patterns += ' ';
      patterns += pattern == "*.*" ? std::string_view("*") : pattern;
    }
    filters.push_back(std::string(BareDescription(parts[i])) + " (" + patterns + ")");
  }
  return filters;
}

}  // namespace buffer
