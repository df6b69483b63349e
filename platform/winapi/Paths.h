#pragma once
// Paths as the programs build them ("dir\\name") turned into paths this system opens.
#include <string>

namespace winapi {

// Every '\\' becomes '/'.
std::string NativePath(std::string path);

// A typed name as a settings file gives it back once written: the blanks at either end
// (" \t\r\n") dropped, as TIniFile drops them from every value it reads. A dialog takes
// this name before it checks one, so the file it asks about is the file the command reaches.
// A '\\' stays as typed: NativePath makes it a separator when the name is opened.
std::string StoredName(const std::string& typed);

// The process's current directory, without a trailing separator.
std::string CurrentDirectory();

// The running program's own file (the executable), or the path set by SetProgramPath.
std::string ProgramPath();
// The program's own INI file: its path with the extension changed to ".INI" (added when
// the name has none), so it lies in the program's folder.
std::string ProgramIniPath();
// Stands in for the executable's path (tests, which must not write beside the test
// program); an empty path goes back to the executable.
void SetProgramPath(const std::string& path);

}  // namespace winapi
