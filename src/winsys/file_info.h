// File dates (MS-DOS date and time, local time, date in the high word) and
// the existence test shared by every caller.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// A directory entry of that name that is not a directory and whose
// last-write time converts to a File date (1980 to 2107).
bool FileExists(const std::string& path);

// The File date of the entry as the directory listing gives it; -1 when the
// file does not exist in the sense of FileExists.
std::int32_t FileAge(const std::string& path);

// FileAge of the entry `name` of the folder held by `folder`, reached through
// that handle and never through a link.
std::int32_t FileAgeIn(HANDLE folder, const wchar_t* name);

// 0 when the file cannot be opened, -1 when its time cannot be read or converted.
std::int32_t GetFileDate(const std::string& path);
void SetFileDate(const std::string& path, std::int32_t stamp);
