#include "jaws_settings.h"

#include "text.h"

std::string JawsSettingsPath(const std::string& command) {
  // A-Z lowering keeps the length, so the position applies to the original.
  std::size_t at = LowerAZ(command).find("\\jconfig.exe");
  if (at == std::string::npos) return std::string();
  return command.substr(0, at + 1) + "Settings\\";
}
