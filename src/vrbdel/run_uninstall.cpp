#include "run_uninstall.h"

#include <windows.h>

#include "failure.h"
#include "file_info.h"
#include "folders.h"
#include "own_folder_check.h"
#include "purge_directory.h"
#include "redirection_guard.h"
#include "registry.h"
#include "remove_shortcuts.h"
#include "run_and_wait.h"
#include "text.h"
#include "wrappers.h"

namespace {

const char kCaption[] = "Uninstall";
const char kQuestion[] =
    "You do not have to uninstall the Verbalis program to install a new version. "
    "Do you wish to uninstall the program? ";

std::string ClosingNotice(const std::string& programDirectory) {
  return "Your personal notes, topics, fonts and desktops have not been deleted."
         "Use the Control Panel menu to remove the fonts from " +
         programDirectory + "\\Fonts" +
         " Go to your Windows Explorer to completely remove these items.";
}

}  // namespace

void RunUninstall(const std::string& programPath, const std::string& groupName,
                  const std::string& shortcutName) {
  EnableRedirectionGuard();
  const std::string programDirectory = DirectoryPart(programPath);
  if (IsUnspelledPath(programPath)) {  // no short form either: nothing in it could be named
    ShowBox("The folder " + programDirectory + " has a name that the uninstaller cannot use. Nothing was removed.",
            kCaption);
    return;
  }
  const std::string uninstallDirectory = ShortLowerPath(programDirectory);
  if (!SetCurrentDirectoryA(uninstallDirectory.c_str())) RaiseInOutError(GetLastError());

  // Only an OK is consent: a box that could not be shown (0) changes nothing.
  if (CheckedMessageBox(nullptr, kQuestion, kCaption, MB_OKCANCEL) != IDOK) return;
  if (!FileExists("Install.Msg")) return;
  if (IsSharedFolder(uninstallDirectory)) {
    ShowBox("Verbalis is not installed in its own folder here: " + programDirectory +
                ". Nothing was removed.",
            kCaption);
    return;
  }

  // The main program must have let go of its files before the first deletion.
  if (FileExists(uninstallDirectory + "\\vrb.exe"))
    RunAndWait(ProgramWord(uninstallDirectory + "\\Vrb.exe") + " /unregserver");
  PurgeDirectory(uninstallDirectory);
  RemoveShortcuts(groupName, shortcutName);
  DeleteUninstallKey();
  ShowBox(ClosingNotice(programDirectory), kCaption);
}
