// The temporary folder the main program is expanded into.
#pragma once
#include <string>

// The first of %SystemRoot%\SystemTemp\ and %SystemRoot%\Temp\ in which setup
// may make a folder; else TempFolder(), or c:\ when there is none. Short, lower
// case, ending in "\".
std::string TemporaryDirectory();

// Moves to c:\ when tempDir's drive has less than 4 MB free, and warns
// (without stopping) when that is still too little. Returns the folder to use.
std::string EnsureTempSpace(const std::string& tempDir);
