// Texts of setup mode's notices. No <windows.h> here.
#pragma once
#include <string>

extern const char kProductWebSite[];

// "Check Startup" box: the reason, then the download advice.
std::string StartupProblemText(const std::string& reason);
// "FileCheck" box after an incomplete distribution.
std::string DamagedDistributionText();

// "WinExec" box for a failed start of the main program; empty for a result
// of 32 or more. tempDir is named in the "not found" texts.
std::string StartFailureText(unsigned result, const std::string& tempDir);

// "Setup Error" box for a distribution in a folder no A call can name.
std::string UnusableFolderText(const std::string& folder);
