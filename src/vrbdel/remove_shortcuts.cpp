#include "remove_shortcuts.h"

#include <windows.h>

#include "delete_file_quiet.h"
#include "failure.h"
#include "folders.h"
#include "wrappers.h"

void RemoveShortcuts(const std::string& groupName, const std::string& shortcutName) {
  try {
    // An empty name names nothing: not a file called ".Lnk", not the Programs
    // folder itself.
    if (!shortcutName.empty()) {
      DeleteFileQuiet(DesktopFolder() + shortcutName + ".Lnk");
      DeleteFileQuiet(ProgramsFolder() + groupName + "\\" + shortcutName + ".Lnk");
    }
    if (groupName.empty()) return;
    const std::string group = ProgramsFolder() + groupName;
    if (!RemoveDirectoryA(group.c_str())) RaiseInOutError(GetLastError());
  } catch (...) {
    ShowBox("Unable to remove program shortcuts. Remove manually.", "ShortCuts");
  }
}
