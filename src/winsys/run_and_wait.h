// Starts a command line and waits, without a time limit, until that process has ended.
#pragma once
#include <string>

// True when the process was started (and has ended); false when it could
// not be started, after the "Windows Error: 4" report.
bool RunAndWait(const std::string& commandLine);
