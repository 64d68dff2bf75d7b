// The copy that keeps the source's date stamp.
#pragma once
#include <windows.h>

#include <string>

// True when the whole source, with its date, replaced or became the entry `name` of the
// folder held by `folder`, in one step. Everything is made relative to that handle, so no
// link made since the folder was checked can take the copy elsewhere. On false the
// destination is as it was and no other file is left behind.
bool CopyFileKeepDate(const std::string& source, HANDLE folder, const wchar_t* name);
