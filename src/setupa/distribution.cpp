#include "distribution.h"

#include "dir_listing.h"
#include "failure.h"
#include "file_info.h"
#include "registry.h"
#include "text.h"

bool CheckDistribution(const std::string& sourceDir) {
  bool ok = true;
  if (!FileExists(sourceDir + "Vrb.Ex_") && !FileExists(sourceDir + "Vrb.Exe")) ok = false;
  if (!FileExists(sourceDir + "Install.Msg")) ok = false;
  if (!FileExists(sourceDir + "Common.801")) ok = false;
  {
    // Any entry will do, a folder named Lang... too.
    DirListing languages(sourceDir + "Lang*.*");
    if (!languages.Next()) ok = false;
  }
  if (!FileExists(sourceDir + "Vrb.JCF")) ok = false;
  return ok;
}

bool IsAutorunCurrent(const std::string& mainProgramPath, const std::string& arg1) {
  if (LowerAZ(arg1) != "autorun") return false;
  std::string installDir;
  try {
    ReadUninstallFolder("InstallPath", installDir);
  } catch (const Failure& failure) {
    // The gate has already shown the registry box for this value and gone on;
    // an unreadable install path means no current copy, not the end of setup.
    if (failure.kind != FailureKind::RegistryException) throw;
    return false;
  }
  if (installDir.empty()) return false;
  return FileAge(installDir + "Vrb.Exe") >= FileAge(mainProgramPath);
}
