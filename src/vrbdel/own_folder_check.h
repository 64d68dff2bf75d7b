// The purge deletes all that it does not spare below its folder, so it must
// only ever run in a folder that holds nothing but an installation of ours.
#pragma once
#include <string>

// True for a drive root, the Windows folder, a Program Files folder, the
// Desktop and the Programs folder. `uninstallDirectory` is in short
// lower-case form, as the folders are compared.
bool IsSharedFolder(const std::string& uninstallDirectory);
