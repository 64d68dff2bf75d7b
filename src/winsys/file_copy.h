// Copy that keeps the source's date stamp, and the looked-before deletion.
#pragma once
#include <string>

// True when both files were opened and the whole source reached the destination.
bool CopyFileKeepDate(const std::string& source, const std::string& destination);

// True when no file was there or the system deleted it.
bool DeleteIfExists(const std::string& path);
