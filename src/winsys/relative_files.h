// Files and folders reached from a folder's handle, one name at a time and
// never through a link, so that a link made at any moment cannot steer where
// an elevated deletion or write lands.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "handles.h"

// A folder by its path (in the code page), opened for listing and for
// opening its entries relative to it; links on the way are followed, as by
// any path. Others may not rename or delete it while it is held. An invalid
// handle on failure.
HANDLE OpenFolderByPath(const std::string& path);

// Opens the entry `name` (one name, `length` characters, no backslash) of the
// folder `parent`, letter case ignored, without following a link: a link
// opens as itself (Wine follows a Unix link anyway; see SameEntry). `access`,
// `share`, `disposition` (FILE_OPEN, FILE_CREATE, ...) and `options`
// (FILE_DIRECTORY_FILE, FILE_NON_DIRECTORY_FILE, ...) as NtCreateFile takes
// them; synchronous I/O is always asked for. An invalid handle on failure,
// with the last-error code set.
HANDLE OpenRelative(HANDLE parent, const wchar_t* name, std::size_t length, ACCESS_MASK access,
                    ULONG share, ULONG disposition, ULONG options);
HANDLE OpenRelative(HANDLE parent, const wchar_t* name, ACCESS_MASK access, ULONG share,
                    ULONG disposition, ULONG options);  // up to its NUL

// The entries of a folder, listed through its handle, "." and ".." too, in
// the file system's order.
class FolderEntries {
 public:
  explicit FolderEntries(HANDLE folder);
  FolderEntries(const FolderEntries&) = delete;
  FolderEntries& operator=(const FolderEntries&) = delete;

  // Moves to the next entry; false when there is none or the folder cannot be listed.
  bool Next();
  const wchar_t* wide_name() const { return entry_->FileName; }
  std::size_t wide_length() const { return entry_->FileNameLength / sizeof(wchar_t); }
  // The long name as the A calls list it: "?" for each character the code page cannot spell.
  const std::string& name() const { return name_; }
  // Whether the A calls can name the entry: the long name spelled whole, or an 8.3 alias.
  bool reachable() const { return reachable_; }
  DWORD attributes() const { return entry_->FileAttributes; }
  // The file ID, as a handle's file index shows it (GetFileInformationByHandle).
  std::uint64_t id() const { return static_cast<std::uint64_t>(entry_->FileId.QuadPart); }
  FILETIME last_write_time() const {
    return {entry_->LastWriteTime.LowPart, static_cast<DWORD>(entry_->LastWriteTime.HighPart)};
  }

 private:
  bool Fetch(FILE_INFO_BY_HANDLE_CLASS kind);
  HANDLE folder_;
  std::vector<LONGLONG> buffer_;  // 8-byte aligned, as the records are
  const FILE_ID_BOTH_DIR_INFO* entry_ = nullptr;
  bool started_ = false, done_ = false;
  std::string name_;
  bool reachable_ = false;
};

// What a handle shows of the entry it holds; valid is false when it cannot be read.
struct HandleInfo {
  bool valid;
  DWORD attributes;
  std::uint64_t id;  // the file index
  FILETIME lastWrite;
};
HandleInfo InfoByHandle(HANDLE entry);

// Whether the handle holds the entry that the listing gave `listedId`: an
// entry swapped after the listing opens as another, under Wine too, where a
// link is followed and its handle looks like a plain folder.
bool SameEntry(HANDLE entry, std::uint64_t listedId);

// Opens the folder `name` of `parent` (as OpenRelative, as a folder) and
// tells whether it is the very folder a listing gave `listedId`: a plain
// folder, not a link, and not another folder swapped in since (Wine opens
// what a Unix link points to, and its handle shows a plain folder: only the
// ID tells). `folder` holds whatever opened, or nothing, with the last-error
// code of the open.
bool OpenListedFolder(HANDLE parent, const wchar_t* name, std::size_t length, std::uint64_t listedId,
                      ACCESS_MASK access, ULONG share, FileHandle& folder);

// Sets the entry's attributes through its handle (none at all when
// `attributes` holds none that can be set).
bool SetAttributesByHandle(HANDLE entry, DWORD attributes);

// Deletes the entry through its handle (opened with DELETE, and
// FILE_WRITE_ATTRIBUTES for the read-only rule); a link goes as a link.
// Windows 10 1809 and later: POSIX deletion that ignores read-only
// (FileDispositionInfoEx), the attributes never touched. Windows 7, 8 and 10
// before 1809, and Wine: FileDispositionInfo, read-only (as `knownAttributes`
// shows it, or as found after a refusal) lifted just before and put back when
// the entry stays. A folder goes only when empty.
bool DeleteByHandle(HANDLE entry, DWORD knownAttributes);

// Renames the entry to `newName` in the folder `folder` (by its handle).
bool RenameByHandle(HANDLE entry, HANDLE folder, const wchar_t* newName, bool replace);
