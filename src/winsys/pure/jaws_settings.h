// Where the screen reader keeps its settings, worked out from the command
// line registered for its configuration files. No <windows.h> here.
#pragma once
#include <string>

// The command up to and including the backslash of its first "\jconfig.exe"
// (found in any A-Z letter case), followed by "Settings\"; the command's own
// letter case is kept and a leading double quote left out. Empty when there
// is no marker.
std::string JawsSettingsPath(const std::string& command);
