// The copy that keeps the source's date stamp.
#pragma once
#include <string>

// True when the whole source, with its date, replaced or became the destination in one
// step. On false the destination is as it was and no other file is left behind.
bool CopyFileKeepDate(const std::string& source, const std::string& destination);
