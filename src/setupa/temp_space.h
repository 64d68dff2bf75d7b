// The temporary folder the main program is expanded into.
#pragma once
#include <string>

// TempFolder(), or c:\ when there is none: short, lower case, ending in "\".
std::string TemporaryDirectory();

// Moves to c:\ when tempDir's drive has less than 4 MB free, and warns
// (without stopping) when that is still too little. Returns the folder to use.
std::string EnsureTempSpace(const std::string& tempDir);
