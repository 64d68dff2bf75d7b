#include "temp_space.h"

#include <windows.h>

#include "drive_free.h"
#include "folders.h"
#include "handles.h"
#include "setup_paths.h"
#include "sys_table.h"
#include "text.h"
#include "wrappers.h"

namespace {

// The machine's temporary folders, in the order they are tried. In them users
// may make entries of their own but may neither list, rename nor delete anyone
// else's; below the user's TEMP whatever the user runs may rename the elevated
// main program's folder away while it runs.
const char* const kMachineTemp[] = {"SystemTemp\\", "Temp\\"};

// Whether setup may make a folder in `dir`: opened for that right alone, the
// check Windows makes for the creation itself. Missing or no folder: no.
bool MayCreateFolderIn(const std::string& dir) {
  FileHandle folder(Sys().CreateFileA(dir.substr(0, dir.size() - 1).c_str(), FILE_ADD_SUBDIRECTORY,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  return folder.valid() && GetFileInformationByHandle(folder.get(), &info) &&
         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string TemporaryDirectory() {
  const std::string windows = WindowsFolder();
  for (const char* name : kMachineTemp)
    if (!windows.empty() && MayCreateFolderIn(windows + name))
      return ShortLowerPath(LowerLocale(windows + name));
  // Only a setup without administrator rights gets here; its main program runs with the user's rights.
  std::string dir = TempFolder();
  if (dir.empty()) dir = "c:\\";
  return ShortLowerPath(LowerLocale(NormalizeDir(dir)));
}

std::string EnsureTempSpace(const std::string& tempDir) {
  std::string dir = tempDir;
  std::int32_t freeKB = DriveFreeKB(DriveNumberOf(dir));
  if (freeKB < kTempSpaceNeededKB && !StartsWith(dir, "c")) {
    dir = "c:\\";
    freeKB = DriveFreeKB(kFallbackDrive);
  }
  if (freeKB < kTempSpaceNeededKB)
    ShowBox("Warning: 4 Megs of temporary space needed for Setup", "Setup Warning");
  return dir;
}
