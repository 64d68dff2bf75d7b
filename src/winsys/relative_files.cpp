#include "relative_files.h"

#include <winternl.h>

#include <cstring>

#include "code_page.h"
#include "sys_table.h"

namespace {

using NtCreateFileFn = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK,
                                        PLARGE_INTEGER, ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);
using StatusToErrorFn = ULONG(NTAPI*)(NTSTATUS);

constexpr NTSTATUS kInvalidParameter = static_cast<NTSTATUS>(0xC000000DL);

// ntdll is in every process; looked up rather than imported, so the
// launcher's import list stays as it is.
template <typename Fn>
Fn Ntdll(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

// What SetFileAttributes takes back of what a listing reports.
constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                            FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

constexpr DWORD kListingBytes = 64 * 1024;

// FileDispositionInfoEx (Windows 10 1607) and the flags of 1809, which the
// headers give only to builds for Windows 10.
constexpr auto kDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kPosixDeleteIgnoringReadOnly = 0x1 | 0x2 | 0x10;  // DELETE, POSIX_SEMANTICS, IGNORE_READONLY_ATTRIBUTE

// Errors by which a system or a volume says it lacks POSIX deletion.
bool Unsupported(DWORD error) {
  return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED ||
         error == ERROR_INVALID_FUNCTION;
}

bool SetDisposition(HANDLE entry) {
  FILE_DISPOSITION_INFO disposition{TRUE};
  return Sys().SetFileInformationByHandle(entry, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

}  // namespace

HANDLE OpenFolderByPath(const std::string& path) {
  return CreateFileW(FromCodePage(path).data(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                     nullptr);
}

HANDLE OpenRelative(HANDLE parent, const wchar_t* name, std::size_t length, ACCESS_MASK access,
                    ULONG share, ULONG disposition, ULONG options) {
  static const NtCreateFileFn create = Ntdll<NtCreateFileFn>("NtCreateFile");
  static const StatusToErrorFn toError = Ntdll<StatusToErrorFn>("RtlNtStatusToDosError");
  // OBJ_DONT_REPARSE (Windows 10) stops at a reparse point anywhere in the
  // name; Windows 7 and 8 refuse the flag, and then FILE_OPEN_REPARSE_POINT
  // alone keeps the one name from being followed.
  static ULONG dontReparse = OBJ_DONT_REPARSE;
  if (!create || !toError) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  UNICODE_STRING text;
  text.Buffer = const_cast<wchar_t*>(name);
  text.Length = text.MaximumLength = static_cast<USHORT>(length * sizeof(wchar_t));
  for (;;) {
    OBJECT_ATTRIBUTES object;
    InitializeObjectAttributes(&object, &text, OBJ_CASE_INSENSITIVE | dontReparse, parent, nullptr);
    IO_STATUS_BLOCK io;
    HANDLE handle = nullptr;
    const NTSTATUS status =
        create(&handle, access | SYNCHRONIZE, &object, &io, nullptr, 0, share, disposition,
               options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (status >= 0) return handle;
    if (status == kInvalidParameter && dontReparse) {
      dontReparse = 0;
      continue;
    }
    SetLastError(toError(status));
    return INVALID_HANDLE_VALUE;
  }
}

HANDLE OpenRelative(HANDLE parent, const wchar_t* name, ACCESS_MASK access, ULONG share,
                    ULONG disposition, ULONG options) {
  return OpenRelative(parent, name, lstrlenW(name), access, share, disposition, options);
}

FolderEntries::FolderEntries(HANDLE folder) : folder_(folder), buffer_(kListingBytes / sizeof(LONGLONG)) {}

bool FolderEntries::Fetch(FILE_INFO_BY_HANDLE_CLASS kind) {
  return GetFileInformationByHandleEx(folder_, kind, buffer_.data(), kListingBytes) != 0;
}

bool FolderEntries::Next() {
  if (entry_ && entry_->NextEntryOffset) {
    entry_ = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(reinterpret_cast<const char*>(entry_) +
                                                            entry_->NextEntryOffset);
  } else {
    if (done_ || !Fetch(started_ ? FileIdBothDirectoryInfo : FileIdBothDirectoryRestartInfo)) {
      done_ = true;
      entry_ = nullptr;
      return false;
    }
    started_ = true;
    entry_ = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer_.data());
  }
  std::string alias;
  reachable_ = ToCodePage(wide_name(), wide_length(), name_) ||
               (entry_->ShortNameLength > 0 &&
                ToCodePage(entry_->ShortName, entry_->ShortNameLength / sizeof(wchar_t), alias));
  return true;
}

namespace {

// Plain queries rather than GetFileInformationByHandle, which also asks for
// the volume's serial number: under Wine a call to another process for
// every entry.
bool Query(HANDLE entry, void* data, ULONG size, ULONG kind) {
  using QueryFn = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, ULONG);
  static const QueryFn query = Ntdll<QueryFn>("NtQueryInformationFile");
  IO_STATUS_BLOCK io;
  return query && query(entry, &io, data, size, kind) >= 0;
}

constexpr ULONG kFileBasicInformation = 4, kFileInternalInformation = 6;

}  // namespace

HandleInfo InfoByHandle(HANDLE entry) {
  FILE_BASIC_INFO basic;
  LARGE_INTEGER index;
  if (!Query(entry, &basic, sizeof basic, kFileBasicInformation) ||
      !Query(entry, &index, sizeof index, kFileInternalInformation))
    return HandleInfo{false, 0, 0, {}};
  return HandleInfo{true, basic.FileAttributes, static_cast<std::uint64_t>(index.QuadPart),
                    {basic.LastWriteTime.LowPart, static_cast<DWORD>(basic.LastWriteTime.HighPart)}};
}

bool SameEntry(HANDLE entry, std::uint64_t listedId) {
  LARGE_INTEGER index;
  return Query(entry, &index, sizeof index, kFileInternalInformation) &&
         static_cast<std::uint64_t>(index.QuadPart) == listedId;
}

bool OpenListedFolder(HANDLE parent, const wchar_t* name, std::size_t length, std::uint64_t listedId,
                      ACCESS_MASK access, ULONG share, FileHandle& folder) {
  folder.reset(OpenRelative(parent, name, length, access | FILE_READ_ATTRIBUTES, share, FILE_OPEN,
                            FILE_DIRECTORY_FILE));
  if (!folder.valid()) return false;
  const HandleInfo info = InfoByHandle(folder.get());
  return info.valid && info.id == listedId &&
         (info.attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == FILE_ATTRIBUTE_DIRECTORY;
}

bool SetAttributesByHandle(HANDLE entry, DWORD attributes) {
  FILE_BASIC_INFO basic{};  // times of 0 stay as they are
  basic.FileAttributes = (attributes & kSettable) ? (attributes & kSettable) : FILE_ATTRIBUTE_NORMAL;
  return Sys().SetFileInformationByHandle(entry, FileBasicInfo, &basic, sizeof basic) != 0;
}

bool DeleteByHandle(HANDLE entry, DWORD knownAttributes) {
  // Known missing for the call as it stands in the table: Windows 7, 8 and
  // 10 before 1809, Wine 8, and volumes without POSIX deletion (FAT).
  static decltype(SysTable::SetFileInformationByHandle) posixMissing = nullptr;
  if (posixMissing != Sys().SetFileInformationByHandle) {
    DWORD flags = kPosixDeleteIgnoringReadOnly;
    if (Sys().SetFileInformationByHandle(entry, kDispositionInfoEx, &flags, sizeof flags)) return true;
    if (!Unsupported(GetLastError())) return false;
    posixMissing = Sys().SetFileInformationByHandle;
  }
  // Read-only is the one attribute that stops a deletion. It is lifted just
  // before and put back when the entry stays; every other attribute is the
  // user's business.
  DWORD attributes = knownAttributes;
  bool lifted = (attributes & FILE_ATTRIBUTE_READONLY) &&
                SetAttributesByHandle(entry, attributes & ~FILE_ATTRIBUTE_READONLY);
  bool deleted = SetDisposition(entry);
  if (!deleted && !lifted && GetLastError() == ERROR_ACCESS_DENIED) {
    // Refused for a read-only not known before: lift it, and one more try.
    const HandleInfo info = InfoByHandle(entry);
    attributes = info.attributes;
    lifted = info.valid && (attributes & FILE_ATTRIBUTE_READONLY) &&
             SetAttributesByHandle(entry, attributes & ~FILE_ATTRIBUTE_READONLY);
    deleted = lifted && SetDisposition(entry);
  }
  if (!deleted && lifted) SetAttributesByHandle(entry, attributes);
  return deleted;
}

bool RenameByHandle(HANDLE entry, HANDLE folder, const wchar_t* newName, bool replace) {
  // Straight to ntdll: Wine's SetFileInformationByHandle reads the new name
  // as a path from the current folder, whatever RootDirectory says.
  using SetInformationFn = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, ULONG);
  static const SetInformationFn setInformation = Ntdll<SetInformationFn>("NtSetInformationFile");
  static const StatusToErrorFn toError = Ntdll<StatusToErrorFn>("RtlNtStatusToDosError");
  constexpr ULONG kFileRenameInformation = 10;
  const std::size_t bytes = static_cast<std::size_t>(lstrlenW(newName)) * sizeof(wchar_t);
  std::vector<LONGLONG> buffer((sizeof(FILE_RENAME_INFO) + bytes) / sizeof(LONGLONG) + 1);
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = replace;
  rename->RootDirectory = folder;
  rename->FileNameLength = static_cast<DWORD>(bytes);
  std::memcpy(rename->FileName, newName, bytes);
  if (!setInformation || !toError) return SetLastError(ERROR_PROC_NOT_FOUND), false;
  IO_STATUS_BLOCK io;
  const NTSTATUS status = setInformation(entry, &io, rename, static_cast<ULONG>(buffer.size() * sizeof(LONGLONG)),
                                         kFileRenameInformation);
  if (status < 0) SetLastError(toError(status));
  return status >= 0;
}
