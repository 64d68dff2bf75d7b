// Comparisons of short lower-case directory paths. No <windows.h> here.
#pragma once
#include <string>

// "c:\" or a share root such as "\\server\share\" (trailing backslash optional).
bool IsRootDirectory(const std::string& directory);

// Whether `directory` is `folder` or holds it at any depth, a trailing
// backslash or not; both in the same form. An empty path names no folder.
bool IsSameOrAncestor(const std::string& directory, const std::string& folder);
