#include "module_handoff.h"

#include <windows.h>

#include <vector>

#include "current_dir.h"
#include "dir_listing.h"
#include "setup_paths.h"
#include "text.h"
#include "text_file.h"
#include "wrappers.h"

namespace {

std::vector<std::string> ModuleFiles(const std::string& sourceDir) {
  std::vector<std::string> lines;
  DirListing listing(sourceDir + "*.*");
  while (listing.Next()) {
    // The main program opens the file by the name the list gives it.
    if (IsModuleFileName(LowerLocale(listing.name())) && !listing.reachable_name().empty())
      lines.push_back(sourceDir + LowerLocale(listing.reachable_name()));
  }
  return lines;
}

}  // namespace

void HandOffModules(const std::string& sourceDir, const std::string& installDir) {
  std::vector<std::string> lines = ModuleFiles(sourceDir);
  const std::string listPath = installDir + "AutoLoad.Lst";
  // A list from an earlier run must not be loaded again.
  DeleteFileA(listPath.c_str());
  if (!lines.empty()) WriteTextLines(listPath, lines);
  ChangeDirectory(DirectoryToEnter(installDir));
  CheckedWinExec(ProgramWord(installDir + "Vrb.Exe").c_str(), SW_SHOWNORMAL);
}
