#include "drive_free.h"

#include <windows.h>

#include <climits>

#include "sys_table.h"

std::int32_t DriveFreeKB(std::uint8_t drive) {
  char root[] = {static_cast<char>(0x40 + drive), ':', '\\', '\0'};
  const char* rootPath = drive >= 1 ? root : nullptr;  // none: the current drive
  long long freeBytes = -1;
  if (Sys().GetDiskFreeSpaceExA) {
    ULARGE_INTEGER available, total, totalFree;
    if (Sys().GetDiskFreeSpaceExA(rootPath, &available, &total, &totalFree))
      freeBytes = available.QuadPart > static_cast<unsigned long long>(LLONG_MAX)
                      ? LLONG_MAX
                      : static_cast<long long>(available.QuadPart);
  } else {
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
    if (Sys().GetDiskFreeSpaceA(rootPath, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                                &totalClusters))
      freeBytes = static_cast<long long>(sectorsPerCluster) * bytesPerSector * freeClusters;
  }
  long long kilobytes = freeBytes / 1024;  // a failed query (-1) gives 0
  // A disk with 2 TiB or more free does not fit; it has room enough.
  return kilobytes > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(kilobytes);
}
