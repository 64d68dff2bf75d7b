#include "delete_file_quiet.h"

#include <windows.h>

bool DeleteFileQuiet(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }
