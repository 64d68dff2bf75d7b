// Hands the distribution's add-on modules to an installed copy: AutoLoad.Lst
// in its folder, then the installed Vrb.Exe started from there.
#pragma once
#include <string>

// installDir is used as stored and expected to end in a backslash. A list
// that cannot be written or a folder that cannot be entered raises, and the
// installed copy is then not started.
void HandOffModules(const std::string& sourceDir, const std::string& installDir);
