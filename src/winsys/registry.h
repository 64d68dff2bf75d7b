// Registry reads with the launcher's rules: keys opened for full access and
// never created, one string value a read, the outcome logged.
#pragma once
#include <windows.h>

#include <string>

#include "handles.h"

// HKEY_LOCAL_MACHINE key of an installed copy; values DisplayName and InstallPath.
extern const char kUninstallKeyPath[];

// Opens keyPath under root for KEY_ALL_ACCESS without creating it (plus
// `extraAccess`, e.g. KEY_WOW64_64KEY). A leading backslash means "from the root".
bool OpenKeyFullAccess(HKEY root, const std::string& keyPath, RegKey& key, REGSAM extraAccess = 0);

// Reads one string value of an open key into `value` (empty name: the default
// value), with the failures of ReadRegString but no log line.
void ReadKeyString(HKEY key, const std::string& valueName, std::string& value);

// A folder as the system records it in a string value (REG_EXPAND_SZ expanded), read
// with query rights where full access is refused; empty when it cannot be read, is
// of another type or is longer than two MAX_PATHs. `view` may be KEY_WOW64_64KEY.
std::string ReadFolderValue(HKEY root, const char* keyPath, const char* name, REGSAM view = 0);

// Reads one string value into `value` and logs the outcome. A missing key or
// value reads as empty. A non-empty value of another type raises
// RegistryException "Invalid data type for '<name>'" after `value` received
// its raw bytes; a failed read of the data raises "Failed to get data for '<name>'".
void ReadRegString(const std::string& valueName, const std::string& keyPath, HKEY rootKey,
                   std::string& value);
void ReadUninstallValue(const std::string& valueName, std::string& value);

// Deletes the uninstall key with everything below it; the outcome is ignored.
void DeleteUninstallKey();
