#include "own_folder_check.h"

#include <windows.h>

#include <vector>

#include "folder_rules.h"
#include "folders.h"
#include "handles.h"
#include "registry.h"

namespace {

const char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
const char kUserShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct FolderValue {
  HKEY root;
  const char* key;
  const char* name;
};

// Where the user and all users keep their own things, as the system records
// them. Read from the registry rather than asked of the shell: asking the
// shell rewrites "Shell Folders", which the shortcut removal reads later.
const FolderValue kFolderValues[] = {
    {HKEY_CURRENT_USER, kUserShellFolders, "Personal"},
    {HKEY_CURRENT_USER, kUserShellFolders, "AppData"},
    {HKEY_CURRENT_USER, kUserShellFolders, "Local AppData"},
    {HKEY_CURRENT_USER, kUserShellFolders, "Desktop"},
    {HKEY_CURRENT_USER, kUserShellFolders, "Start Menu"},
    {HKEY_CURRENT_USER, kUserShellFolders, "Programs"},
    {HKEY_CURRENT_USER, kShellFolders, "Personal"},
    {HKEY_CURRENT_USER, kShellFolders, "Start Menu"},
    {HKEY_LOCAL_MACHINE, kUserShellFolders, "Common Desktop"},
    {HKEY_LOCAL_MACHINE, kUserShellFolders, "Common Start Menu"},
    {HKEY_LOCAL_MACHINE, kUserShellFolders, "Common Documents"},
    {HKEY_LOCAL_MACHINE, kUserShellFolders, "Common AppData"},
    {HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir"},
    {HKEY_LOCAL_MACHINE, kCurrentVersionKey, "CommonFilesDir"},
};

const char* const kFolderVariables[] = {
    "SystemRoot",   "ProgramFiles",    "ProgramFiles(x86)", "ProgramW6432",
    "CommonProgramFiles", "CommonProgramFiles(x86)", "CommonProgramW6432", "ProgramData",
    "ALLUSERSPROFILE", "PUBLIC",       "USERPROFILE",       "APPDATA",
    "LOCALAPPDATA"};

// One string value in one registry view; empty when it cannot be read. A guard must
// not weaken for want of rights: the value is read even where full access is refused.
std::string FolderValueIn(const FolderValue& folder, REGSAM view) {
  return ReadFolderValue(folder.root, folder.key, folder.name, view);
}

std::vector<std::string> ProtectedFolders() {
  std::vector<std::string> folders = {WindowsFolder()};
  char system[MAX_PATH];
  UINT n = GetSystemDirectoryA(system, MAX_PATH);
  if (n > 0 && n < MAX_PATH) folders.push_back(system);
  // A 32-bit program sees "Program Files (x86)" in its own view of CurrentVersion;
  // the 64-bit view names the other one (on 32-bit Windows both are the same).
  for (const FolderValue& folder : kFolderValues) {
    folders.push_back(FolderValueIn(folder, 0));
    if (folder.key == kCurrentVersionKey) folders.push_back(FolderValueIn(folder, KEY_WOW64_64KEY));
  }
  for (const char* variable : kFolderVariables) {
    char value[MAX_PATH * 2];
    DWORD length = GetEnvironmentVariableA(variable, value, sizeof value);
    if (length > 0 && length < sizeof value) folders.push_back(value);
  }
  // Also where the shortcut removal will look for Desktop and Programs.
  for (auto folder : {DesktopFolder, ProgramsFolder}) {
    try {
      folders.push_back(folder());
    } catch (...) {
      // an unreadable shell-folder value names no folder
    }
  }
  return folders;
}

}  // namespace

bool IsSharedFolder(const std::string& uninstallDirectory) {
  if (IsRootDirectory(uninstallDirectory)) return true;
  for (const std::string& folder : ProtectedFolders())
    if (!folder.empty() && IsSameOrAncestor(uninstallDirectory, ShortLowerPath(folder)))
      return true;
  return false;
}
