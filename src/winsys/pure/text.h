// String rules that need no system call. No <windows.h> here.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Lower-cases ASCII A-Z only.
std::string LowerAZ(std::string text);

// Lower-cased by the A-Z rule, ending in a backslash; empty stays empty.
std::string NormalizeDir(const std::string& path);

bool StartsWith(const std::string& text, const char* prefix);
bool EndsWith(const std::string& text, const char* suffix);
bool Contains(const std::string& text, const char* part);

// Word `index` of a command line (0 is the program name). Bytes 1..32 separate
// words, a double-quoted section may hold blanks and its quotes are dropped,
// there is no escape character. A missing word is the empty string.
std::string CommandLineWord(const char* commandLine, int index);
constexpr std::size_t kMaxWordLength = 4096;

// The part after the last backslash or colon.
std::string FileNamePart(const std::string& path);
// Up to and including the last backslash or colon.
std::string DirectoryPart(const std::string& path);

// The uninstaller is this program under a file name beginning with "vrbdel";
// `lowerPath` is already lower-cased.
bool IsUninstallerPath(const std::string& lowerPath);

// Lines ended by CR, LF or CR LF; a last line without an end counts too.
std::vector<std::string> SplitLines(const std::string& text);
