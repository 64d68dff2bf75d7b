// Change of the process's current directory; a refusal raises InOutError.
#pragma once
#include <string>

void ChangeDirectory(const std::string& dir);
