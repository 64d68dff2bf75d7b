#include "delete_file_quiet.h"

#include "sys_table.h"

bool DeleteFileQuiet(const std::string& path) { return Sys().DeleteFileA(path.c_str()) != 0; }
