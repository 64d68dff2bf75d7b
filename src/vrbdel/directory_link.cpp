#include "directory_link.h"

#include <windows.h>

#include "handles.h"

namespace {

// Whether the entry at `path`, opened without following a link, is a link.
bool OpensAsLink(const std::string& path) {
  FileHandle entry(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!entry.valid()) return false;
  BY_HANDLE_FILE_INFORMATION info;
  return GetFileInformationByHandle(entry.get(), &info) &&
         (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

bool RemoveDirectoryLink(const std::string& path) {
  // On a link RemoveDirectoryA removes the link and leaves the target alone,
  // but only a system that opens the link itself is trusted with that.
  if (!OpensAsLink(path)) return false;
  return RemoveDirectoryA(path.c_str()) != 0;
}
