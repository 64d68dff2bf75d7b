// Names and command lines that setup mode builds from its directories.
// No <windows.h> here.
#pragma once
#include <string>

// Free temporary space setup wants, in KB, and the drive it falls back to (C:).
constexpr int kTempSpaceNeededKB = 4096;
constexpr unsigned char kFallbackDrive = 3;

// 1 for "a" up to 26 for "z" by the first character of a lower-case path; 0 otherwise.
unsigned char DriveNumberOf(const std::string& lowerPath);

// The installation start: <programDir>VRB.EXE "<sourceDir>", the program's
// path quoted when it holds a blank.
std::string InstallCommandLine(const std::string& programDir, const std::string& sourceDir);

// A directory without its trailing backslash, for a change of directory; a
// drive root keeps it, because "d:" names the current folder of drive D:.
std::string DirectoryToEnter(const std::string& dir);

// An entry of the source directory that goes into AutoLoad.Lst; lowerName is
// already lower-cased by the locale-aware rule.
bool IsModuleFileName(const std::string& lowerName);
