// String rules that need no system call. No <windows.h> here.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Lead bytes of the system's ANSI code page (none by default). In the
// Japanese, Chinese and Korean code pages the byte after a lead byte belongs
// to the same character and may have the value of "\\" or of a capital letter.
void SetLeadBytes(const bool (&isLead)[256]);
bool IsLeadByte(char byte);
// Where the character that begins at `at` ends.
std::size_t NextCharAt(const std::string& text, std::size_t at);

// Lower-cases ASCII A-Z only, never the second byte of a character.
std::string LowerAZ(std::string text);

// Lower-cased by the A-Z rule, ending in a backslash; empty stays empty.
std::string NormalizeDir(const std::string& path);

bool StartsWith(const std::string& text, const char* prefix);
bool EndsWith(const std::string& text, const char* suffix);
bool Contains(const std::string& text, const char* part);
// The first `part` that begins on a character boundary; npos when none.
std::size_t FindChars(const std::string& text, const char* part);
// Whether the last character is a backslash (not a second byte of one).
bool EndsWithBackslash(const std::string& text);

// A program's path as the first word of a command line: in double quotes when
// it holds a blank, or Windows would try "C:\Program.exe" first.
std::string ProgramWord(const std::string& path);

// Word `index` of a command line (0 is the program name). Bytes 1..32 separate
// words, a double-quoted section may hold blanks and its quotes are dropped,
// there is no escape character. A missing word is the empty string.
std::string CommandLineWord(const char* commandLine, int index);
constexpr std::size_t kMaxWordLength = 4096;

// The part after the last backslash or colon.
std::string FileNamePart(const std::string& path);
// Up to and including the last backslash or colon.
std::string DirectoryPart(const std::string& path);

// A path the code page could not spell, even in its short form: the system
// gave "?" for what it could not, a character no Windows name holds (a
// leading "\\?\" aside).
bool IsUnspelledPath(const std::string& path);

// The uninstaller is this program under a file name beginning with "vrbdel";
// `lowerPath` is already lower-cased.
bool IsUninstallerPath(const std::string& lowerPath);

// Lines ended by CR, LF or CR LF; a last line without an end counts too.
std::vector<std::string> SplitLines(const std::string& text);
