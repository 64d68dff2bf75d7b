#include "temp_space.h"

#include "drive_free.h"
#include "folders.h"
#include "setup_paths.h"
#include "text.h"
#include "wrappers.h"

std::string TemporaryDirectory() {
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
