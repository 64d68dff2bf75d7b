#include "purge_directory.h"

#include <windows.h>

#include <vector>

#include "delete_file_quiet.h"
#include "dir_listing.h"
#include "directory_link.h"
#include "file_info.h"
#include "purge_rules.h"
#include "wrappers.h"

namespace {

// The rules judge lower-cased names; the system calls get each name as listed,
// because Wine finds a name in another letter case only by reading the whole
// folder again, which made the purge of a folder quadratic in its size.
struct Listed {
  std::string lower;
  std::string name;
  bool link;
};

// The entries of `all` that the rules kept in `kept`. Both are in listing
// order and the rules only ever take names out, so one pass matches them.
std::vector<Listed> StillListed(const std::vector<std::string>& kept, std::vector<Listed>& all) {
  std::vector<Listed> result;
  result.reserve(kept.size());
  std::size_t at = 0;
  for (const std::string& lower : kept) {
    while (all[at].lower != lower) ++at;
    result.push_back(std::move(all[at++]));
  }
  return result;
}

}  // namespace

void PurgeDirectory(const std::string& directory) {
  std::vector<std::string> subdirectoryList;
  std::vector<std::string> fileList;
  std::vector<Listed> folders, files;  // the same entries, as listed
  // Folders named "...00". A link is never one: what it points to is never
  // looked into, so it is never a module.
  std::vector<Listed> moduleCandidates;
  int notesCount = 0;
  std::string notesIndex;  // as listed; empty when there is none

  // Every decision for this level is made before anything here is deleted.
  {
    DirListing listing(directory + "\\*.*");
    while (listing.Next()) {
      // The rules judge the long name; the system calls get a name they reach.
      const std::string listed = listing.reachable_name();
      const std::string name = LowerLocale(listing.name());
      const DWORD attributes = listing.attributes();
      const std::string path = directory + "\\" + listed;
      if (CountsAsNotes(name, attributes)) ++notesCount;
      if (IsNotesIndex(name, attributes)) notesIndex = listed;
      // What no A call can name is left as it is.
      switch (listed.empty() ? EntryAction::Keep : ClassifyEntry(name, attributes)) {
        case EntryAction::Keep:
          break;
        case EntryAction::PurgeFolder:
          SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_DIRECTORY);
          subdirectoryList.push_back(name);
          folders.push_back({name, listed, false});
          if (IsModuleFolderName(name)) moduleCandidates.push_back({name, listed, false});
          break;
        case EntryAction::RemoveLink:
          // No attribute change: through a link it could reach the target.
          subdirectoryList.push_back(name);
          folders.push_back({name, listed, true});
          break;
        case EntryAction::DeleteFile:
          if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            SetFileAttributesA(path.c_str(), 0);
          fileList.push_back(name);
          files.push_back({name, listed, false});
          break;
      }
    }
  }

  // notes.map goes when no notes folder is left beside it, unless a module keeps it.
  if (!notesIndex.empty() && notesCount == 0) {
    SetFileAttributesA((directory + "\\" + notesIndex).c_str(), 0);
    fileList.push_back("notes.map");
    files.push_back({"notes.map", notesIndex, false});
  }

  SpareUserModules(fileList, subdirectoryList, [&](const std::string& name) {
    for (const Listed& candidate : moduleCandidates) {
      if (candidate.lower != name) continue;
      const std::string folder = directory + "\\" + candidate.name;
      return FileExists(folder + "\\V03000") || FileExists(folder + "\\T03000");
    }
    return false;
  });

  for (const Listed& file : StillListed(fileList, files))
    DeleteFileQuiet(directory + "\\" + file.name);

  for (const Listed& folder : StillListed(subdirectoryList, folders)) {
    const std::string path = directory + "\\" + folder.name;
    if (folder.link) {
      RemoveDirectoryLink(path);
      continue;
    }
    PurgeDirectory(path);
    // A folder that keeps spared or busy files stays; stopping here would
    // make every later uninstall stop at the same folder.
    RemoveDirectoryA(path.c_str());
  }
}
