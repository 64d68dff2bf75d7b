// Comparisons of short lower-case directory paths. No <windows.h> here.
#pragma once
#include <string>

// "c:\" or a share root such as "\\server\share\" (trailing backslash optional).
bool IsRootDirectory(const std::string& directory);

// Whether two paths of the same form name the same folder, a trailing
// backslash or not. An empty path names no folder.
bool SameDirectory(const std::string& a, const std::string& b);
