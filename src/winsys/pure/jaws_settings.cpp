#include "jaws_settings.h"

#include "text.h"

std::string JawsSettingsPath(const std::string& command) {
  // A program under a folder with a blank is registered in double quotes.
  const std::string path = StartsWith(command, "\"") ? command.substr(1) : command;
  // A-Z lowering keeps the length, so the position applies to the original.
  std::size_t at = FindChars(LowerAZ(path), "\\jconfig.exe");
  if (at == std::string::npos) return std::string();
  return path.substr(0, at + 1) + "Settings\\";
}
