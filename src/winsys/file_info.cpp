#include "file_info.h"

#include <windows.h>

#include "handles.h"
#include "relative_files.h"

namespace {

// -1 when the time lies outside what a File date can hold.
std::int32_t FileTimeToStamp(const FILETIME& utc) {
  FILETIME local;
  WORD date = 0, time = 0;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &time))
    return -1;
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(date) << 16) | time);
}

std::int32_t EntryAge(const std::string& path) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(path.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return -1;
  FindClose(find);
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
  return FileTimeToStamp(data.ftLastWriteTime);
}

}  // namespace

bool FileExists(const std::string& path) { return EntryAge(path) != -1; }

std::int32_t FileAge(const std::string& path) { return EntryAge(path); }

std::int32_t FileAgeIn(HANDLE folder, const wchar_t* name) {
  FileHandle entry(OpenRelative(folder, name, FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN, 0));
  if (!entry.valid()) return -1;
  const HandleInfo info = InfoByHandle(entry.get());
  if (!info.valid || (info.attributes & FILE_ATTRIBUTE_DIRECTORY)) return -1;
  return FileTimeToStamp(info.lastWrite);
}

std::int32_t GetFileDate(const std::string& path) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return 0;
  FILETIME written;
  if (!GetFileTime(file.get(), nullptr, nullptr, &written)) return -1;
  return FileTimeToStamp(written);
}

void SetFileDate(const std::string& path, std::int32_t stamp) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return;
  std::uint32_t bits = static_cast<std::uint32_t>(stamp);
  FILETIME local, utc;
  if (DosDateTimeToFileTime(static_cast<WORD>(bits >> 16), static_cast<WORD>(bits & 0xFFFF),
                            &local) &&
      LocalFileTimeToFileTime(&local, &utc))
    SetFileTime(file.get(), nullptr, nullptr, &utc);
}
