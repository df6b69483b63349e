#pragma once
// The one program-wide path of the settings file all dialogs talk through. The console's
// start-up sets it to "<start directory>\History.ini"; the update tool to its own file.
#include <string>

namespace buffer {

const std::string& SettingsPath();
void SetSettingsPath(const std::string& path);

// "<start directory>\<name>": where a program's settings file lies.
std::string SettingsFileIn(const std::string& startDirectory, const std::string& name);

}  // namespace buffer
