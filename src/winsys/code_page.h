// The system's ANSI code page: the text rules that step over characters, and
// the names it cannot spell.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Makes the text rules treat the lead bytes of the system's ANSI code page as
// the first of two bytes; call before any path is worked on.
void UseSystemCodePage();

// `wide` in the ANSI code page. False when a character has no exact spelling
// there (it then reads as "?", never as a look-alike that names another file).
// (UTF-16 text is held in vectors: std::wstring would bring 35 KB of library.)
bool ToCodePage(const wchar_t* wide, std::size_t length, std::string& text);
bool ToCodePage(const wchar_t* wide, std::string& text);  // up to its NUL
std::vector<wchar_t> FromCodePage(const std::string& text);  // ends in a NUL

// A path the A calls reach: the path as it is where the code page spells it,
// else its short (8.3) form; empty where neither can be spelled (a volume
// without short names).
std::string ReachablePath(const wchar_t* path);
