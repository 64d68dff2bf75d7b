// Setup mode: from the distribution to the start of the main program.
#pragma once
#include <string>

void RunSetup(const std::string& programPath, const std::string& arg1);
