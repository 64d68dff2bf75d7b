// Small list files (the startup log, the module list): lines ended by CR LF.
#pragma once
#include <string>
#include <vector>

#include "failure.h"

// Raises FCreateError "Cannot create file <path>" or WriteError "Stream write error".
void WriteTextLines(const std::string& path, const std::vector<std::string>& lines);
// Accepts CR, LF or CR LF. Raises FOpenError "Cannot open file <path>".
std::vector<std::string> ReadTextLines(const std::string& path);
