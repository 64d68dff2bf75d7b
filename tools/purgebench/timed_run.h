// Shared by the purge benchmark and its reference: times one piece of work and
// prints "seconds=<s> peak_kb=<peak working set> start_kb=<working set before>".
#pragma once
#include <windows.h>
#include <psapi.h>

#include <cstdio>

template <typename Work>
void TimeAndReport(Work work) {
  PROCESS_MEMORY_COUNTERS before{}, after{};
  GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  work();
  QueryPerformanceCounter(&end);
  GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
  std::printf("seconds=%.4f peak_kb=%lu start_kb=%lu\n",
              static_cast<double>(end.QuadPart - start.QuadPart) /
                  static_cast<double>(frequency.QuadPart),
              static_cast<unsigned long>(after.PeakWorkingSetSize / 1024),
              static_cast<unsigned long>(before.WorkingSetSize / 1024));
}
