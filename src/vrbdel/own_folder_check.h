// The purge deletes all that it does not spare below its folder, so it must
// only ever run in a folder that holds nothing but an installation of ours.
#pragma once
#include <string>

// True for a drive root and for a folder that is, or holds, one where Windows,
// the user or all users keep their own things (Windows, Program Files, Common
// Files, ProgramData, the profile, Documents, AppData, Desktop, Start Menu,
// Programs). `uninstallDirectory` is in short lower-case form, as the folders
// are compared.
bool IsSharedFolder(const std::string& uninstallDirectory);
