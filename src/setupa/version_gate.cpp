#include "version_gate.h"

#include <new>

#include "distribution.h"
#include "failure.h"
#include "file_info.h"
#include "module_handoff.h"
#include "registry.h"
#include "setup_messages.h"
#include "version.h"
#include "wrappers.h"

void ReportStartupProblem(const std::string& reason) {
  ShowBox(StartupProblemText(reason), "Check Startup");
}

bool CheckInstalledVersion(const std::string& sourceDir) {
  std::string displayName;
  std::string installDir;
  try {
    ReadUninstallValue("DisplayName", displayName);
    ReadUninstallFolder("InstallPath", installDir);
  } catch (const Failure&) {
    // Go on with what the reads left: a value of the wrong type holds its raw bytes.
    ShowBox("Error accessing VRB Windows' Registry", "Setup Error");
  } catch (const std::bad_alloc&) {
    ShowBox("Error accessing VRB Windows' Registry", "Setup Error");
  }
  bool complete = CheckDistribution(sourceDir);

  bool haveDisplayName = !displayName.empty();
  std::int32_t version = haveDisplayName ? VersionFromDisplayName(displayName) : 0;
  bool programExists = haveDisplayName && version >= kMinInstalledVersion &&
                       FileExists(installDir + "Vrb.Exe");
  GateOutcome outcome = DecideGate(haveDisplayName, version, programExists, complete);
  switch (outcome) {
    case GateOutcome::kGoOn:
      return true;
    case GateOutcome::kHandOff:
      HandOffModules(sourceDir, installDir);
      return false;
    case GateOutcome::kFilesDamaged:
    case GateOutcome::kTooOld:
    case GateOutcome::kNotProperlyInstalled:
      ReportStartupProblem(GateReason(outcome));
      return false;
  }
  return false;
}
