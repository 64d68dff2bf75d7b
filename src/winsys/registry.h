// Registry reads with the launcher's rules: keys opened for full access and
// never created, one string value a read, the outcome logged.
#pragma once
#include <windows.h>

#include <string>

#include "handles.h"

// HKEY_LOCAL_MACHINE key of an installed copy; values DisplayName and InstallPath.
extern const char kUninstallKeyPath[];
// Where the system records the user's (HKEY_CURRENT_USER) and all users'
// (HKEY_LOCAL_MACHINE) folders: "User Shell Folders" as the shell goes by it,
// "Shell Folders" its copy for older programs.
extern const char kUserShellFoldersKey[];
extern const char kShellFoldersKey[];

// Opens keyPath under root for KEY_ALL_ACCESS without creating it (plus
// `extraAccess`, e.g. KEY_WOW64_64KEY). A leading backslash means "from the root".
bool OpenKeyFullAccess(HKEY root, const std::string& keyPath, RegKey& key, REGSAM extraAccess = 0);

// Reads one string value of an open key into `value` (empty name: the default
// value), with the failures of ReadRegString but no log line.
void ReadKeyString(HKEY key, const std::string& valueName, std::string& value);

// Reads one string value into `value` and logs the outcome. A missing key or
// value reads as empty. A non-empty value of another type raises
// RegistryException "Invalid data type for '<name>'" after `value` received
// its raw bytes; a failed read of the data raises "Failed to get data for '<name>'".
void ReadRegString(const std::string& valueName, const std::string& keyPath, HKEY rootKey,
                   std::string& value);
void ReadUninstallValue(const std::string& valueName, std::string& value);
// ReadRegFolderString on the uninstall key.
void ReadUninstallFolder(const std::string& valueName, std::string& value);

// A folder stored as a string value (REG_EXPAND_SZ expanded where `expand`),
// in a form the A calls reach even where the code page cannot spell its name;
// empty when the value is missing, of another type or names nothing they can
// reach. Opened for full access, else for reading; `view` as for
// OpenKeyFullAccess. No log line.
std::string ReadRegFolder(HKEY root, const std::string& keyPath, const std::string& valueName, REGSAM view = 0,
                          bool expand = true);

// ReadRegString, then, for a value the A read could not spell, the form the
// A calls reach (as stored otherwise, never expanded).
void ReadRegFolderString(const std::string& valueName, const std::string& keyPath, HKEY rootKey,
                         std::string& value);

// Deletes the uninstall key with everything below it; the outcome is ignored.
void DeleteUninstallKey();
