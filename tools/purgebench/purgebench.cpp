// Times the uninstaller's purge of one folder tree: purgebench <folder>.
// Prints the seconds the purge took and the process's peak working set.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "purge_directory.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: purgebench <folder>\n", stderr);
    return 2;
  }
  PROCESS_MEMORY_COUNTERS before{}, after{};
  GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  PurgeDirectory(argv[1]);
  QueryPerformanceCounter(&end);
  GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
  std::printf("seconds=%.4f peak_kb=%lu start_kb=%lu\n",
              static_cast<double>(end.QuadPart - start.QuadPart) /
                  static_cast<double>(frequency.QuadPart),
              static_cast<unsigned long>(after.PeakWorkingSetSize / 1024),
              static_cast<unsigned long>(before.WorkingSetSize / 1024));
  return 0;
}
