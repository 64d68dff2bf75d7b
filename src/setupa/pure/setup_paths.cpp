#include "setup_paths.h"

#include "text.h"

unsigned char DriveNumberOf(const std::string& lowerPath) {
  if (lowerPath.empty() || lowerPath[0] < 'a' || lowerPath[0] > 'z') return 0;
  return static_cast<unsigned char>(lowerPath[0] - 'a' + 1);
}

std::string InstallCommandLine(const std::string& programDir, const std::string& sourceDir) {
  return ProgramWord(programDir + "VRB.EXE") + " \"" + sourceDir + "\"";
}

std::string DirectoryToEnter(const std::string& dir) {
  if (dir.empty() || (dir.size() == 3 && dir[1] == ':')) return dir;
  return dir.substr(0, dir.size() - 1);
}

bool IsModuleFileName(const std::string& lowerName) {
  if (StartsWith(lowerName, ".")) return false;
  if (!Contains(lowerName, "801") && !Contains(lowerName, "101")) return false;
  // The distribution's own files carry the same digits.
  return lowerName != "install.801" && !StartsWith(lowerName, "common") &&
         lowerName != "betaeng.801" && !StartsWith(lowerName, "lang");
}
