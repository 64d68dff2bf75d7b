// What the purge does with each entry of a level, judged from the entry's
// lower-cased name and attributes alone. No <windows.h> here.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Windows file attribute bits the rules look at.
constexpr unsigned long kAttrSystem = 0x4;
constexpr unsigned long kAttrVolumeLabel = 0x8;
constexpr unsigned long kAttrDirectory = 0x10;
constexpr unsigned long kAttrReparsePoint = 0x400;

enum class EntryAction {
  Keep,          // not touched
  PurgeFolder,   // purged by the same rules, then removed
  RemoveLink,    // a directory link: the link goes, what it points to is never touched
  DeleteFile,
};

// `lowerName` is the entry's long name after locale-aware lower-casing.
EntryAction ClassifyEntry(const std::string& lowerName, unsigned long attributes);

// A subdirectory whose name begins with "notes" counts towards keeping notes.map.
bool CountsAsNotes(const std::string& lowerName, unsigned long attributes);

// notes.map indexes the notes folders. A plain file of that name is kept while
// its level has one; without one it goes like any other file, so the system
// attribute and the module rule spare it too.
bool IsNotesIndex(const std::string& lowerName, unsigned long attributes);

// A user module lives in a folder whose name ends in "00"; its stem is the
// name without those two characters.
bool IsModuleFolderName(const std::string& lowerName);
std::string ModuleStem(const std::string& lowerName);

// Spares one user module: its ".map" files (stem*.map) and its sibling folders
// (the stem and two more characters) leave the lists.
void KeepModuleFiles(const std::string& stem, std::vector<std::string>& fileList,
                     std::vector<std::string>& subdirectoryList);

// Takes every user module out of the lists. holdsMarker(name) tells whether
// the folder `name` holds a module marker file. After each module the walk
// starts again at the top of the shortened list.
template <typename HoldsMarker>
void SpareUserModules(std::vector<std::string>& fileList,
                      std::vector<std::string>& subdirectoryList, HoldsMarker holdsMarker) {
  for (std::size_t i = 0; i < subdirectoryList.size();) {
    const std::string name = subdirectoryList[i];
    if (IsModuleFolderName(name) && holdsMarker(name)) {
      KeepModuleFiles(ModuleStem(name), fileList, subdirectoryList);
      i = 0;
    } else {
      ++i;
    }
  }
}
