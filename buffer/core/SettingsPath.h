#pragma once
// The one program-wide path of the settings file all dialogs talk through. The console's
// start-up sets it to "<start directory>\History.ini"; the update tool to its own file.
#include <string>

namespace buffer {

const std::string& SettingsPath();
void SetSettingsPath(const std::string& path);

}  // namespace buffer
