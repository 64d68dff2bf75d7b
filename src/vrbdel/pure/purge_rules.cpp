#include "purge_rules.h"

#include "text.h"

namespace {

bool IsSparedFolderName(const std::string& name) {
  return StartsWith(name, "2") || name == "fonts" || StartsWith(name, "notes");
}

bool IsSparedFileName(const std::string& name) {
  if (name == "desktop.999" || name == "desktop.998") return false;  // scratch desktops
  return name == "vrbdel.exe" || name == "daily.dtp" || StartsWith(name, "desktop.") ||
         EndsWith(name, ".lst") || name == "notes.map";
}

}  // namespace

EntryAction ClassifyEntry(const std::string& lowerName, unsigned long attributes) {
  if (StartsWith(lowerName, ".")) return EntryAction::Keep;
  if (attributes & kAttrDirectory) {
    if (IsSparedFolderName(lowerName)) return EntryAction::Keep;
    return (attributes & kAttrReparsePoint) ? EntryAction::RemoveLink : EntryAction::PurgeFolder;
  }
  if (attributes & (kAttrSystem | kAttrVolumeLabel)) return EntryAction::Keep;
  return IsSparedFileName(lowerName) ? EntryAction::Keep : EntryAction::DeleteFile;
}

bool CountsAsNotes(const std::string& lowerName, unsigned long attributes) {
  return (attributes & kAttrDirectory) && StartsWith(lowerName, "notes");
}

bool IsNotesIndex(const std::string& lowerName, unsigned long attributes) {
  return lowerName == "notes.map" &&
         !(attributes & (kAttrDirectory | kAttrSystem | kAttrVolumeLabel));
}

bool IsModuleFolderName(const std::string& lowerName) { return EndsWith(lowerName, "00"); }

std::string ModuleStem(const std::string& lowerName) {
  return lowerName.substr(0, lowerName.size() - 2);
}

void KeepModuleFiles(const std::string& stem, std::vector<std::string>& fileList,
                     std::vector<std::string>& subdirectoryList) {
  for (std::size_t i = fileList.size(); i-- > 0;)
    if (StartsWith(fileList[i], stem.c_str()) && EndsWith(fileList[i], ".map"))
      fileList.erase(fileList.begin() + static_cast<std::ptrdiff_t>(i));
  for (std::size_t i = subdirectoryList.size(); i-- > 0;)
    if (StartsWith(subdirectoryList[i], stem.c_str()) &&
        subdirectoryList[i].size() == stem.size() + 2)
      subdirectoryList.erase(subdirectoryList.begin() + static_cast<std::ptrdiff_t>(i));
}
