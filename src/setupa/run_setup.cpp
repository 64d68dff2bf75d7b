#include "run_setup.h"

#include <windows.h>

#include <new>

#include "current_dir.h"
#include "distribution.h"
#include "expand.h"
#include "failure.h"
#include "file_info.h"
#include "folders.h"
#include "jaws_config.h"
#include "private_folder.h"
#include "redirection_guard.h"
#include "setup_messages.h"
#include "setup_paths.h"
#include "start_result.h"
#include "startup_log.h"
#include "temp_space.h"
#include "text.h"
#include "version_gate.h"
#include "wrappers.h"

namespace {

// A failure here must not cost the user the installation itself.
void InstallJawsConfigOrWarn(const std::string& sourceDir) {
  bool failed = false;
  try {
    InstallJawsConfig(sourceDir);
  } catch (const Failure&) {
    failed = true;
  } catch (const std::bad_alloc&) {
    failed = true;
  }
  if (failed && JawsConfigRegistered())
    ShowBox("Error accessing Jaws Windows' Registry", "Setup Error");
}

}  // namespace

void RunSetup(const std::string& programPath, const std::string& arg1) {
  EnableRedirectionGuard();
  // Not even a short form (a volume that keeps no 8.3 names): no file of it could be named.
  if (IsUnspelledPath(programPath)) {
    ShowBox(UnusableFolderText(DirectoryPart(programPath)), "Setup Error");
    return;
  }
  std::string sourceDir = NormalizeDir(DirectoryPart(programPath));
  // A CD keeps its Windows files below the launcher.
  if (FileExists(sourceDir + "vrb\\win32\\Vrb.ex_")) sourceDir += "vrb\\win32\\";
  sourceDir = ShortLowerPath(sourceDir);

  if (!CheckInstalledVersion(sourceDir)) return;

  std::string tempDir = EnsureTempSpace(TemporaryDirectory());

  if (!CheckDistribution(sourceDir)) {
    ShowBox(DamagedDistributionText(), "FileCheck");
    return;
  }

  std::string commandLine;
  PrivateFolder folder;
  bool expanded = false;
  if (FileExists(sourceDir + "Vrb.Exe")) {
    commandLine = InstallCommandLine(sourceDir, sourceDir);
    if (IsAutorunCurrent(sourceDir + "Vrb.exe", arg1)) return;
    ChangeDirectory(DirectoryToEnter(sourceDir));
  } else {
    if (IsAutorunCurrent(sourceDir + "Vrb.ex_", arg1)) return;
    // Never the temporary folder itself: any program the user runs can plant files there.
    if (!MakePrivateFolder(tempDir, folder)) {
      ReportDestinationError(folder.path + "Vrb.exe");
      return;
    }
    if (!ExpandCompressedFile(sourceDir + "Vrb.Ex_", folder.path + "Vrb.exe")) {
      RemoveNow(folder);
      return;
    }
    expanded = true;
    tempDir = folder.path;
    commandLine = InstallCommandLine(folder.path, sourceDir);
    ChangeDirectory(DirectoryToEnter(folder.path));
  }

  StartLog("");
  InstallJawsConfigOrWarn(sourceDir);

  UINT result = CheckedWinExec(commandLine.c_str(), SW_SHOWNORMAL);
  if (expanded) RemoveAtRestart(folder);
  ReportStartResult(result, tempDir);
}
