#include "version.h"

#include <cstdint>

std::int32_t VersionFromDisplayName(const std::string& displayName) {
  std::string digits;
  for (char c : displayName)
    if (c >= '0' && c <= '9') digits += c;
  while (digits.size() < 7) digits += "00";
  std::int64_t value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    // An absurd number is treated like a name without a version rather than
    // ending the program: the user could not install at all otherwise.
    if (value > INT32_MAX) return 0;
  }
  return static_cast<std::int32_t>(value);
}

GateOutcome DecideGate(bool haveDisplayName, std::int32_t version, bool installedProgramExists,
                       bool distributionComplete) {
  if (distributionComplete) return GateOutcome::kGoOn;
  if (!haveDisplayName) return GateOutcome::kFilesDamaged;
  if (version < kMinInstalledVersion) return GateOutcome::kTooOld;
  if (!installedProgramExists) return GateOutcome::kNotProperlyInstalled;
  if (version < kMinModuleVersion) return GateOutcome::kTooOld;
  return GateOutcome::kHandOff;
}

const char* GateReason(GateOutcome outcome) {
  switch (outcome) {
    case GateOutcome::kFilesDamaged: return "Verbalis Program install files damaged or missing";
    case GateOutcome::kTooOld: return "Current Verbalis Program too old to install modules";
    case GateOutcome::kNotProperlyInstalled: return "Verbalis program not properly installed";
    case GateOutcome::kGoOn:
    case GateOutcome::kHandOff: break;
  }
  return "";
}
