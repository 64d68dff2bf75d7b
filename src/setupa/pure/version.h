// The installed copy's version number as its uninstall entry spells it, and
// what the gate does with it. No <windows.h> here.
#pragma once
#include <cstdint>
#include <string>

// Below this an installed copy is too old whatever is on disk.
constexpr std::int32_t kMinInstalledVersion = 8100000;
// The first version that takes modules through AutoLoad.Lst.
constexpr std::int32_t kMinModuleVersion = 8100204;

// The ASCII digits of displayName in their order, padded with "00" pairs to
// at least 7 digits, as a decimal number. No digits, or digits that do not
// fit a signed 32-bit number, give 0.
std::int32_t VersionFromDisplayName(const std::string& displayName);

enum class GateOutcome {
  kGoOn,                // normal setup
  kFilesDamaged,        // no installed copy and an incomplete distribution
  kTooOld,              // installed copy cannot take modules
  kNotProperlyInstalled,
  kHandOff,             // hand the modules to the installed copy
};

// haveDisplayName: DisplayName as read was not empty. installedProgramExists
// only matters from kMinInstalledVersion on.
GateOutcome DecideGate(bool haveDisplayName, std::int32_t version, bool installedProgramExists,
                       bool distributionComplete);

// The reason shown in the "Check Startup" box; empty for kGoOn and kHandOff.
const char* GateReason(GateOutcome outcome);
