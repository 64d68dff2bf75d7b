#include "current_dir.h"

#include <windows.h>

#include "failure.h"

void ChangeDirectory(const std::string& dir) {
  if (!SetCurrentDirectoryA(dir.c_str())) RaiseInOutError(GetLastError());
}
