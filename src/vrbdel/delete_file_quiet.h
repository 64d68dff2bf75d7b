// A plain deletion that does not look first and reports only through its result.
#pragma once
#include <string>

bool DeleteFileQuiet(const std::string& path);
