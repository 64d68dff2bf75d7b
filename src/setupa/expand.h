// Expansion of the LZ-compressed main program through LZ32.
#pragma once
#include <string>

// False after exactly one "CopyFile" box.
bool ExpandCompressedFile(const std::string& source, const std::string& destination);
