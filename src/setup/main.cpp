#include <windows.h>

#include <cstdlib>

#include "entry.h"

// Every failure is caught in RunProgram; the library's verbose handler would
// only add its demangler (tens of kilobytes) to a launcher that must stay small.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunProgram(); }
