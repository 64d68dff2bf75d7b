// The first decision of setup mode: install, stop with advice, or hand the
// distribution's modules to an installed copy.
#pragma once
#include <string>

// True: go on with a normal setup (exactly when the distribution is complete).
// False: the run ends; a box was shown or the installed copy was started.
bool CheckInstalledVersion(const std::string& sourceDir);

// "Check Startup" box with the download advice.
void ReportStartupProblem(const std::string& reason);
