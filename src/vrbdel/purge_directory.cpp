#include "purge_directory.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "delete_file_quiet.h"
#include "dir_listing.h"
#include "directory_link.h"
#include "file_info.h"
#include "purge_rules.h"
#include "wrappers.h"

void PurgeDirectory(const std::string& directory) {
  std::vector<std::string> subdirectoryList;
  std::vector<std::string> fileList;
  std::vector<std::string> links;  // entries of subdirectoryList that are directory links
  int notesCount = 0;

  // Every decision for this level is made before anything here is deleted.
  {
    DirListing listing(directory + "\\*.*");
    while (listing.Next()) {
      const std::string name = LowerLocale(listing.name());
      const DWORD attributes = listing.entry().dwFileAttributes;
      const std::string path = directory + "\\" + name;
      if (CountsAsNotes(name, attributes)) ++notesCount;
      switch (ClassifyEntry(name, attributes)) {
        case EntryAction::Keep:
          break;
        case EntryAction::PurgeFolder:
          SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_DIRECTORY);
          subdirectoryList.push_back(name);
          break;
        case EntryAction::RemoveLink:
          // No attribute change: through a link it could reach the target.
          subdirectoryList.push_back(name);
          links.push_back(name);
          break;
        case EntryAction::DeleteFile:
          if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            SetFileAttributesA(path.c_str(), 0);
          fileList.push_back(name);
          break;
      }
    }
  }

  SpareUserModules(fileList, subdirectoryList, [&directory](const std::string& name) {
    const std::string folder = directory + "\\" + name;
    return FileExists(folder + "\\V03000") || FileExists(folder + "\\T03000");
  });

  for (const std::string& name : fileList) DeleteFileQuiet(directory + "\\" + name);

  for (const std::string& name : subdirectoryList) {
    const std::string path = directory + "\\" + name;
    if (std::find(links.begin(), links.end(), name) != links.end()) {
      RemoveDirectoryLink(path);
      continue;
    }
    PurgeDirectory(path);
    // A folder that keeps spared or busy files stays; stopping here would
    // make every later uninstall stop at the same folder.
    RemoveDirectoryA(path.c_str());
  }

  if (notesCount == 0) DeleteFileQuiet(directory + "\\notes.map");
}
