// Is the distribution complete, and does an autorun start find the installed
// copy current? Neither check shows anything.
#pragma once
#include <string>

// All five tests run, in order, whatever the earlier ones found.
bool CheckDistribution(const std::string& sourceDir);

// True when arg1 is "autorun" (A-Z case ignored) and the installed Vrb.Exe is
// at least as new as mainProgramPath (file ages compared as signed numbers).
bool IsAutorunCurrent(const std::string& mainProgramPath, const std::string& arg1);
