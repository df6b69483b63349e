#pragma once
// File-dialog filters written the Windows way, "description|pattern;pattern|...", turned
// into the name filters of a Qt file dialog ("description (pattern pattern)").
#include <string>
#include <string_view>
#include <vector>

namespace buffer {

// One name filter per description/pattern pair, in order. "*.*" (every file, also those
// without an extension) becomes "*"; a description's own trailing "(...)" gives way to the
// patterns, which the Qt dialog reads from there. Matching is left to the dialog, which
// must compare without regard to case.
std::vector<std::string> NameFilters(std::string_view windowsFilter);

}  // namespace buffer
