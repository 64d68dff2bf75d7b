// Free space in kilobytes, including what Wine cannot produce (through the seam).
#include <gtest/gtest.h>

#include <climits>

#include "drive_free.h"
#include "test_support.h"

namespace {

ULONGLONG g_available = 0;
BOOL WINAPI FakeFreeEx(LPCSTR, PULARGE_INTEGER available, PULARGE_INTEGER, PULARGE_INTEGER) {
  available->QuadPart = g_available;
  return TRUE;
}
BOOL WINAPI FailingFreeEx(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER) {
  SetLastError(ERROR_NOT_READY);
  return FALSE;
}
std::string g_root = "unset";
BOOL WINAPI OldFree(LPCSTR root, LPDWORD spc, LPDWORD bps, LPDWORD freeClusters, LPDWORD total) {
  g_root = root ? root : "(current)";
  *spc = 8;
  *bps = 512;
  *freeClusters = 1000;
  *total = 5000;
  return TRUE;
}

}  // namespace

TEST(DriveFreeKB, MatchesWhatTheSystemReportsForDriveC) {
  ULARGE_INTEGER available, total, totalFree;
  ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &totalFree));
  std::int32_t kb = DriveFreeKB(3);
  long long expected = static_cast<long long>(available.QuadPart / 1024);
  if (expected > INT32_MAX) expected = INT32_MAX;
  EXPECT_NEAR(kb, expected, 1024);  // other processes may write meanwhile
  EXPECT_GT(DriveFreeKB(0), 0);     // the current drive
}

TEST(DriveFreeKB, ADriveThatIsNotThereGivesZero) {
  // Wine maps C: and Z: only; Q: is free in a fresh prefix.
  EXPECT_EQ(DriveFreeKB(17), 0);
  ScopedSysTable restore;
  Sys().GetDiskFreeSpaceExA = FailingFreeEx;
  EXPECT_EQ(DriveFreeKB(3), 0);
}

TEST(DriveFreeKB, RoundsDownAndCapsHugeDisksInsteadOfFailing) {
  ScopedSysTable restore;
  Sys().GetDiskFreeSpaceExA = FakeFreeEx;
  g_available = 4ull * 1024 * 1024 - 1;
  EXPECT_EQ(DriveFreeKB(3), 4095);
  g_available = 2ull << 40;  // 2 TiB
  EXPECT_EQ(DriveFreeKB(3), INT32_MAX);
  g_available = ~0ull;
  EXPECT_EQ(DriveFreeKB(3), INT32_MAX);
}

TEST(DriveFreeKB, UsesTheOldQueryWhereTheExtendedOneIsMissing) {
  ScopedSysTable restore;
  Sys().GetDiskFreeSpaceExA = nullptr;
  Sys().GetDiskFreeSpaceA = OldFree;
  EXPECT_EQ(DriveFreeKB(3), 8 * 512 * 1000 / 1024);
  EXPECT_EQ(g_root, "C:\\");
  DriveFreeKB(0);
  EXPECT_EQ(g_root, "(current)");
}
