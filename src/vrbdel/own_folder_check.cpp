#include "own_folder_check.h"

#include <windows.h>

#include "folder_rules.h"
#include "folders.h"
#include "handles.h"
#include "registry.h"

namespace {

const char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";

// ProgramFilesDir in one registry view; empty when it cannot be read.
std::string ProgramFilesDir(REGSAM view) {
  RegKey key;
  // A guard must not weaken for want of rights: read-only where full access is refused.
  if (!OpenKeyFullAccess(HKEY_LOCAL_MACHINE, kCurrentVersionKey, key, view) &&
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_QUERY_VALUE | view,
                    key.receive()) != ERROR_SUCCESS)
    return "";
  char value[MAX_PATH + 1];
  DWORD size = MAX_PATH;
  DWORD type = REG_NONE;
  if (RegQueryValueExA(key.get(), "ProgramFilesDir", nullptr, &type,
                       reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return "";
  value[size] = '\0';
  return value;
}

bool Matches(const std::string& uninstallDirectory, const std::string& folder) {
  return !folder.empty() && SameDirectory(uninstallDirectory, ShortLowerPath(folder));
}

template <typename Folder>
bool MatchesShellFolder(const std::string& uninstallDirectory, Folder folder) {
  try {
    return Matches(uninstallDirectory, folder());
  } catch (...) {
    return false;  // an unreadable shell-folder value names no folder
  }
}

}  // namespace

bool IsSharedFolder(const std::string& uninstallDirectory) {
  // A 32-bit program sees "Program Files (x86)" in its own view; the 64-bit
  // view names the other one (on 32-bit Windows both views are the same).
  return IsRootDirectory(uninstallDirectory) || Matches(uninstallDirectory, WindowsFolder()) ||
         Matches(uninstallDirectory, ProgramFilesDir(0)) ||
         Matches(uninstallDirectory, ProgramFilesDir(KEY_WOW64_64KEY)) ||
         MatchesShellFolder(uninstallDirectory, DesktopFolder) ||
         MatchesShellFolder(uninstallDirectory, ProgramsFolder);
}
