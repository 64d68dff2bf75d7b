// Removing a directory link (junction or symbolic link) without ever
// touching the folder it points to.
#pragma once
#include <string>

// True when the link itself is gone. Where the system will not open the link
// as a link (it follows it instead, as Wine does with Unix symbolic links),
// nothing is removed: a removal by path could then reach the target.
bool RemoveDirectoryLink(const std::string& path);
