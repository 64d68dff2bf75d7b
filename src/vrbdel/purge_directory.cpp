#include "purge_directory.h"

#include <windows.h>

#include <vector>

#include "delete_file_quiet.h"
#include "dir_listing.h"
#include "directory_link.h"
#include "file_info.h"
#include "purge_rules.h"
#include "sys_table.h"
#include "wrappers.h"

namespace {

// The rules judge lower-cased names; the system calls get each name as listed,
// because Wine finds a name in another letter case only by reading the whole
// folder again, which made the purge of a folder quadratic in its size.
struct Listed {
  std::string lower;
  std::string name;
  bool link;
  DWORD attributes;  // as listed
};

// What SetFileAttributesA takes back of what a listing reports.
constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                            FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Read-only is the one attribute that stops a deletion, of a file or of a
// folder. It is lifted just before the deletion and put back when the entry
// stays after all; every other attribute is the user's business. A link's
// attributes are never changed: through the link it could reach the target.
class ReadOnlyLifted {
 public:
  // `known`: the entry's attributes, when they are known before the first try.
  ReadOnlyLifted(const std::string& path, DWORD known) : path_(path), attributes_(known) { Lift(); }
  ~ReadOnlyLifted() {
    if (lifted_) SetFileAttributesA(path_.c_str(), attributes_ & kSettable);
  }
  ReadOnlyLifted(const ReadOnlyLifted&) = delete;
  ReadOnlyLifted& operator=(const ReadOnlyLifted&) = delete;

  // Called right after a refused deletion: true when it was refused for a
  // read-only not known before, which is now lifted, so that one more try is
  // worth making.
  bool LiftedAfterRefusal() {
    if (lifted_ || GetLastError() != ERROR_ACCESS_DENIED) return false;
    attributes_ = GetFileAttributesA(path_.c_str());
    return attributes_ != INVALID_FILE_ATTRIBUTES && Lift();
  }
  void Deleted() { lifted_ = false; }

 private:
  bool Lift() {
    lifted_ = (attributes_ & FILE_ATTRIBUTE_READONLY) && !(attributes_ & FILE_ATTRIBUTE_REPARSE_POINT) &&
              SetFileAttributesA(path_.c_str(), attributes_ & kSettable & ~FILE_ATTRIBUTE_READONLY);
    return lifted_;
  }
  const std::string& path_;
  DWORD attributes_;
  bool lifted_ = false;
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
  DWORD notesIndexAttributes = 0;

  // Every decision for this level is made before anything here is deleted.
  {
    DirListing listing(directory + "\\*.*");
    while (listing.Next()) {
      // The rules judge the long name; the system calls get a name they reach.
      const std::string listed = listing.reachable_name();
      const std::string name = LowerLocale(listing.name());
      const DWORD attributes = listing.attributes();
      if (CountsAsNotes(name, attributes)) ++notesCount;
      if (IsNotesIndex(name, attributes)) notesIndex = listed, notesIndexAttributes = attributes;
      // What no A call can name is left as it is.
      switch (listed.empty() ? EntryAction::Keep : ClassifyEntry(name, attributes)) {
        case EntryAction::Keep:
          break;
        case EntryAction::PurgeFolder:
          subdirectoryList.push_back(name);
          folders.push_back({name, listed, false, attributes});
          if (IsModuleFolderName(name)) moduleCandidates.push_back({name, listed, false, attributes});
          break;
        case EntryAction::RemoveLink:
          subdirectoryList.push_back(name);
          folders.push_back({name, listed, true, attributes});
          break;
        case EntryAction::DeleteFile:
          fileList.push_back(name);
          files.push_back({name, listed, false, attributes});
          break;
      }
    }
  }

  // notes.map goes when no notes folder is left beside it, unless a module keeps it.
  if (!notesIndex.empty() && notesCount == 0) {
    fileList.push_back("notes.map");
    files.push_back({"notes.map", notesIndex, false, notesIndexAttributes});
  }

  SpareUserModules(fileList, subdirectoryList, [&](const std::string& name) {
    for (const Listed& candidate : moduleCandidates) {
      if (candidate.lower != name) continue;
      const std::string folder = directory + "\\" + candidate.name;
      return FileExists(folder + "\\V03000") || FileExists(folder + "\\T03000");
    }
    return false;
  });

  for (const Listed& file : StillListed(fileList, files)) {
    const std::string path = directory + "\\" + file.name;
    ReadOnlyLifted readOnly(path, file.attributes);
    if (DeleteFileQuiet(path) || (readOnly.LiftedAfterRefusal() && DeleteFileQuiet(path)))
      readOnly.Deleted();
  }

  for (const Listed& folder : StillListed(subdirectoryList, folders)) {
    const std::string path = directory + "\\" + folder.name;
    if (folder.link) {
      RemoveDirectoryLink(path);
      continue;
    }
    PurgeDirectory(path);
    // A folder that keeps spared or busy files stays, with the attributes it
    // has (stopping here would make every later uninstall stop at the same
    // folder); so its read-only counts only once it is empty and refused.
    ReadOnlyLifted readOnly(path, 0);
    if (Sys().RemoveDirectoryA(path.c_str()) ||
        (readOnly.LiftedAfterRefusal() && Sys().RemoveDirectoryA(path.c_str())))
      readOnly.Deleted();
  }
}
