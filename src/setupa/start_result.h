// The "WinExec" box for a main program that did not start.
#pragma once
#include <string>

// Shows nothing for a result of 32 or more.
void ReportStartResult(unsigned result, const std::string& tempDir);
