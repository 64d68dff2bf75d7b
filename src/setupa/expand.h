// Expansion of the LZ-compressed main program through LZ32.
#pragma once
#include <string>

// False after exactly one "CopyFile" box. The destination must not exist yet.
bool ExpandCompressedFile(const std::string& source, const std::string& destination);

// The "CopyFile" box for a destination that cannot be made.
void ReportDestinationError(const std::string& destination);
