#include "own_folder_check.h"

#include <windows.h>

#include <vector>

#include "code_page.h"
#include "folder_rules.h"
#include "folders.h"
#include "handles.h"
#include "registry.h"

namespace {

const char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";

struct FolderValue {
  HKEY root;
  const char* key;
  const char* name;
};

// Where the user and all users keep their own things, as the system records
// them. Read from the registry rather than asked of the shell: asking the
// shell rewrites "Shell Folders", which the shortcut removal reads later.
const FolderValue kFolderValues[] = {
    {HKEY_CURRENT_USER, kUserShellFoldersKey, "Personal"},
    {HKEY_CURRENT_USER, kUserShellFoldersKey, "AppData"},
    {HKEY_CURRENT_USER, kUserShellFoldersKey, "Local AppData"},
    {HKEY_CURRENT_USER, kUserShellFoldersKey, "Desktop"},
    {HKEY_CURRENT_USER, kUserShellFoldersKey, "Start Menu"},
    {HKEY_CURRENT_USER, kUserShellFoldersKey, "Programs"},
    {HKEY_CURRENT_USER, kShellFoldersKey, "Personal"},
    {HKEY_CURRENT_USER, kShellFoldersKey, "Start Menu"},
    {HKEY_LOCAL_MACHINE, kUserShellFoldersKey, "Common Desktop"},
    {HKEY_LOCAL_MACHINE, kUserShellFoldersKey, "Common Start Menu"},
    {HKEY_LOCAL_MACHINE, kUserShellFoldersKey, "Common Documents"},
    {HKEY_LOCAL_MACHINE, kUserShellFoldersKey, "Common AppData"},
    {HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir"},
    {HKEY_LOCAL_MACHINE, kCurrentVersionKey, "CommonFilesDir"},
};

const wchar_t* const kFolderVariables[] = {
    L"SystemRoot",   L"ProgramFiles",    L"ProgramFiles(x86)", L"ProgramW6432",
    L"CommonProgramFiles", L"CommonProgramFiles(x86)", L"CommonProgramW6432", L"ProgramData",
    L"ALLUSERSPROFILE", L"PUBLIC",       L"USERPROFILE",       L"APPDATA",
    L"LOCALAPPDATA"};

std::vector<std::string> ProtectedFolders() {
  std::vector<std::string> folders = {WindowsFolder()};
  char system[MAX_PATH];
  UINT n = GetSystemDirectoryA(system, MAX_PATH);
  if (n > 0 && n < MAX_PATH) folders.push_back(system);
  // CurrentVersion names "Program Files (x86)" in the 32-bit view and the other
  // one in the 64-bit view; both are read, whichever build this is (32-bit
  // Windows has one view and ignores the flags). A guard must not weaken for
  // want of rights (read-only where full access is refused), nor for a profile
  // named in a script the code page cannot spell.
  for (const FolderValue& folder : kFolderValues) {
    if (folder.key != kCurrentVersionKey) {
      folders.push_back(ReadRegFolder(folder.root, folder.key, folder.name));
      continue;
    }
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
      folders.push_back(ReadRegFolder(folder.root, folder.key, folder.name, view));
  }
  for (const wchar_t* variable : kFolderVariables) {
    wchar_t value[MAX_PATH * 2];
    DWORD length = GetEnvironmentVariableW(variable, value, MAX_PATH * 2);
    if (length > 0 && length < MAX_PATH * 2) folders.push_back(ReachablePath(value));
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
