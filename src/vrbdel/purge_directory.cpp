#include "purge_directory.h"

#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <vector>

#include "file_info.h"
#include "handles.h"
#include "purge_rules.h"
#include "relative_files.h"
#include "sys_table.h"
#include "wrappers.h"

// The purge works from the installation folder's handle down: each entry is
// opened relative to its folder's handle without following a link, checked
// by its own handle and deleted through it, so a link swapped in at any
// moment can neither be entered nor be deleted through. How a deletion goes
// on which system: see DeleteByHandle.
namespace {

// The rules judge lower-cased names; the system gets each entry by the name
// it was listed under, and the entry must still be the one listed.
struct Listed {
  std::string lower;
  std::vector<wchar_t> name;  // no NUL
  DWORD attributes;
  std::uint64_t id;
};

constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// While the purge is in a folder, no other program may rename or delete it.
constexpr ULONG kShareFolder = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr ACCESS_MASK kEntryAccess = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
constexpr ACCESS_MASK kFolderAccess = kEntryAccess | FILE_LIST_DIRECTORY;

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

HANDLE Open(HANDLE folder, const Listed& entry, ACCESS_MASK access, ULONG share, ULONG options) {
  return OpenRelative(folder, entry.name.data(), entry.name.size(), access, share, FILE_OPEN, options);
}

// The listed folder, opened to be entered: only while it is that very folder.
// Otherwise `open` is left with whatever opened.
bool OpenToEnter(HANDLE folder, const Listed& entry, ACCESS_MASK access, FileHandle& open) {
  const auto listed = [&](ACCESS_MASK asked) {
    return OpenListedFolder(folder, entry.name.data(), entry.name.size(), entry.id, asked, kShareFolder, open);
  };
  // Another program's current folder shares no deletion: it is emptied and stays.
  return listed(access) || (!open.valid() && GetLastError() == ERROR_SHARING_VIOLATION && listed(access & ~DELETE));
}

// A link goes as a link, only where its own handle shows one; never what it points to.
void RemoveLink(HANDLE link) {
  const HandleInfo info = InfoByHandle(link);
  if (info.valid && IsLink(info.attributes)) DeleteByHandle(link, 0);
}

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

void PurgeLevel(HANDLE directory) {
  std::vector<std::string> subdirectoryList;
  std::vector<std::string> fileList;
  std::vector<Listed> folders, files;  // the same entries, as listed
  // Folders named "...00". A link is never one: what it points to is never
  // looked into, so it is never a module.
  std::vector<Listed> moduleCandidates;
  int notesCount = 0;
  std::vector<Listed> notesIndex;  // at most one

  // Every decision for this level is made before anything here is deleted.
  {
    FolderEntries listing(directory);
    while (listing.Next()) {
      const std::string name = LowerLocale(listing.name());
      const DWORD attributes = listing.attributes();
      Listed entry{name, std::vector<wchar_t>(listing.wide_name(), listing.wide_name() + listing.wide_length()),
                   attributes, listing.id()};
      if (CountsAsNotes(name, attributes)) ++notesCount;
      if (IsNotesIndex(name, attributes)) notesIndex.push_back(entry);
      // What no A call can name is left as it is.
      switch (listing.reachable() ? ClassifyEntry(name, attributes) : EntryAction::Keep) {
        case EntryAction::Keep:
          break;
        case EntryAction::PurgeFolder:
          subdirectoryList.push_back(name);
          if (IsModuleFolderName(name)) moduleCandidates.push_back(entry);
          folders.push_back(std::move(entry));
          break;
        case EntryAction::RemoveLink:
          subdirectoryList.push_back(name);
          folders.push_back(std::move(entry));
          break;
        case EntryAction::DeleteFile:
          fileList.push_back(name);
          files.push_back(std::move(entry));
          break;
      }
    }
  }
  if (Sys().PurgeListed) Sys().PurgeListed(directory);

  // notes.map goes when no notes folder is left beside it, unless a module keeps it.
  if (!notesIndex.empty() && notesCount == 0) {
    fileList.push_back("notes.map");
    files.push_back(std::move(notesIndex.front()));
  }

  SpareUserModules(fileList, subdirectoryList, [&](const std::string& name) {
    for (const Listed& candidate : moduleCandidates) {
      if (candidate.lower != name) continue;
      FileHandle module;
      return OpenToEnter(directory, candidate, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, module) &&
             (FileAgeIn(module.get(), L"V03000") != -1 || FileAgeIn(module.get(), L"T03000") != -1);
    }
    return false;
  });

  for (const Listed& file : StillListed(fileList, files)) {
    if (Sys().PurgeDeciding) Sys().PurgeDeciding(directory);
    FileHandle entry(Open(directory, file, kEntryAccess, kShareAll, FILE_NON_DIRECTORY_FILE));
    // A file swapped since the listing (for a link too: a link has an ID of its own) is left alone.
    if (entry.valid() && SameEntry(entry.get(), file.id)) DeleteByHandle(entry.get(), file.attributes);
  }

  for (const Listed& folder : StillListed(subdirectoryList, folders)) {
    FileHandle entry;
    if (IsLink(folder.attributes)) {
      entry.reset(Open(directory, folder, kEntryAccess, kShareAll, 0));
      RemoveLink(entry.get());
    } else if (OpenToEnter(directory, folder, kFolderAccess, entry)) {
      PurgeLevel(entry.get());
      // A folder that keeps spared or busy files stays, with the attributes
      // it has (stopping here would make every later uninstall stop at the
      // same folder); so its read-only counts only once it is empty and refused.
      DeleteByHandle(entry.get(), 0);
    } else if (entry.valid()) {
      RemoveLink(entry.get());  // swapped since the listing: treated as a link
    }
  }
}

}  // namespace

void PurgeDirectory(const std::string& directory) {
  FileHandle top(OpenFolderByPath(directory));
  if (top.valid()) PurgeLevel(top.get());
}
