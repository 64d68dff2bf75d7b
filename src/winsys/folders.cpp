#include "folders.h"

#include <windows.h>

#include "code_page.h"
#include "registry.h"
#include "text.h"
#include "wrappers.h"

namespace {

// Asks a path query for 255 characters and, when the answer needs more room,
// again with the size it asked for. Empty when the query fails.
template <typename Query>
std::string QueryPath(Query query) {
  std::string text(256, '\0');
  DWORD n = query(&text[0], 255);
  if (n >= 255) {
    text.assign(n + 1, '\0');
    DWORD again = query(&text[0], n + 1);
    n = again <= n ? again : 0;
  }
  text.resize(n);
  return text;
}

std::string SystemFolder(int callId, DWORD (*query)(char*, DWORD)) {
  ClearLastError();
  std::string path = QueryPath(query);
  if (path.empty()) ReportWindowsError(callId);
  return LowerAZ(NormalizeDir(path));
}

std::string ShellFolder(const char* valueName, const char* fallback) {
  std::string value;
  // A profile named in another script is reached by its short form.
  ReadRegFolderString(valueName, kShellFoldersKey, HKEY_CURRENT_USER, value);
  value = NormalizeDir(value);
  return value.empty() ? WindowsFolder() + fallback : value;
}

}  // namespace

std::string ShortLowerPath(const std::string& path) {
  std::string shortPath = QueryPath([&path](char* buffer, DWORD length) {
    return CheckedGetShortPathName(path.c_str(), buffer, length);
  });
  return LowerLocale(shortPath.empty() ? path : shortPath);
}

std::string WindowsFolder() {
  return SystemFolder(kCallGetWindowsDirectory, [](char* buffer, DWORD length) -> DWORD {
    return GetWindowsDirectoryA(buffer, length);
  });
}

std::string TempFolder() {
  ClearLastError();
  wchar_t path[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, path);
  if (n == 0 || n > MAX_PATH) {
    ReportWindowsError(kCallGetTempPath);
    return std::string();
  }
  // TEMP lies below the profile, whose name the code page may not spell. A
  // folder that cannot be named at all is no temporary folder: setup takes c:\.
  return LowerAZ(NormalizeDir(ReachablePath(path)));
}

std::string DesktopFolder() { return ShellFolder("DeskTop", "Desktop\\"); }

std::string ProgramsFolder() { return ShellFolder("Programs", "Start Menu\\Programs\\"); }

std::string CommonAppDataFolder() {
  // Read, not asked of the shell: the shell would rewrite "Shell Folders", which the
  // shortcut removal reads, and bring in shell32.
  std::string folder = ReadRegFolder(HKEY_LOCAL_MACHINE, kUserShellFoldersKey, "Common AppData");
  if (folder.empty()) folder = ReadRegFolder(HKEY_LOCAL_MACHINE, kShellFoldersKey, "Common AppData");
  return folder.empty() || EndsWithBackslash(folder) ? folder : folder + "\\";
}
