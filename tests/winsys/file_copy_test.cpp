// The dated copy, the deletions and the existence test on real files.
#include <gtest/gtest.h>

#include "file_copy.h"
#include "file_info.h"
#include "test_support.h"

namespace {

std::string Pattern(size_t size) {
  std::string data(size, '\0');
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
  return data;
}

int g_writes = 0;
BOOL WINAPI WriteHalfOfSecondBlock(HANDLE h, LPCVOID data, DWORD size, LPDWORD put, LPOVERLAPPED o) {
  if (++g_writes == 2) size /= 2;  // the disk fills up
  return WriteFile(h, data, size, put, o);
}

int g_reads = 0;
BOOL WINAPI ReadFailsOnSecondBlock(HANDLE h, LPVOID data, DWORD size, LPDWORD got, LPOVERLAPPED o) {
  if (++g_reads == 2) {
    *got = 0;
    SetLastError(ERROR_CRC);
    return FALSE;
  }
  return ReadFile(h, data, size, got, o);
}

class FileCopy : public ::testing::Test {
 protected:
  std::string Source(const std::string& content) {
    WriteBytes(dir / "src.bin", content);
    SetLocalWriteTime(dir / "src.bin", 2003, 4, 5, 6, 7, 8);
    return dir / "src.bin";
  }
  ScratchDir dir;
};

}  // namespace

TEST_F(FileCopy, CopiesAnyLengthAndGivesTheCopyTheSourceDate) {
  for (size_t size : {size_t(0), size_t(16384), size_t(16384 * 3 + 5)}) {
    std::string content = Pattern(size);
    std::string source = Source(content);
    WriteBytes(dir / "dst.bin", "old content that is longer than nothing");
    ASSERT_TRUE(CopyFileKeepDate(source, dir / "dst.bin")) << size;
    EXPECT_EQ(ReadBytes(dir / "dst.bin"), content) << size;
    EXPECT_EQ(GetFileDate(dir / "dst.bin"), GetFileDate(source)) << size;
    EXPECT_EQ(FileAge(dir / "dst.bin"), FileAge(source)) << size;
  }
}

TEST_F(FileCopy, AMissingSourceStillDeletesTheOldDestinationAndCreatesNothing) {
  WriteBytes(dir / "dst.bin", "old");
  EXPECT_FALSE(CopyFileKeepDate(dir / "missing.bin", dir / "dst.bin"));
  EXPECT_FALSE(PathExists(dir / "dst.bin"));
}

TEST_F(FileCopy, AMissingDestinationFolderFailsAndReleasesTheSource) {
  std::string source = Source("data");
  EXPECT_FALSE(CopyFileKeepDate(source, dir / "no\\dst.bin"));
  // The source was closed again: it can be deleted at once.
  EXPECT_TRUE(DeleteFileA(source.c_str()));
}

TEST_F(FileCopy, ADestinationInUseKeepsItsOldContent) {
  std::string source = Source("new");
  WriteBytes(dir / "dst.bin", "old");
  // Held open without sharing, as another program would: neither deleted nor opened.
  HANDLE held = CreateFileA((dir / "dst.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(CopyFileKeepDate(source, dir / "dst.bin"));
  CloseHandle(held);
  EXPECT_EQ(ReadBytes(dir / "dst.bin"), "old");
}

TEST_F(FileCopy, AShortWriteFailsAndLeavesNoHalfCopyThatWouldPassForCurrent) {
  std::string content = Pattern(16384 * 2);
  std::string source = Source(content);
  {
    ScopedSysTable restore;
    g_writes = 0;
    Sys().WriteFile = WriteHalfOfSecondBlock;  // the disk fills up
    EXPECT_FALSE(CopyFileKeepDate(source, dir / "dst.bin"));
    EXPECT_FALSE(PathExists(dir / "dst.bin"));
  }
  // Once there is room again, the next run copies the whole file.
  EXPECT_TRUE(CopyFileKeepDate(source, dir / "dst.bin"));
  EXPECT_EQ(ReadBytes(dir / "dst.bin"), content);
}

TEST_F(FileCopy, AReadThatFailsHalfWayIsNoCopy) {
  std::string source = Source(Pattern(16384 * 3));
  ScopedSysTable restore;
  g_reads = 0;
  Sys().ReadFile = ReadFailsOnSecondBlock;
  EXPECT_FALSE(CopyFileKeepDate(source, dir / "dst.bin"));
  EXPECT_FALSE(PathExists(dir / "dst.bin"));
}

TEST_F(FileCopy, DeleteIfExistsSparesFoldersAndCountsAMissingFileAsDone) {
  MakeDir(dir / "folder");
  EXPECT_TRUE(DeleteIfExists(dir / "folder"));
  EXPECT_TRUE(PathExists(dir / "folder"));
  EXPECT_TRUE(DeleteIfExists(dir / "missing"));
  WriteBytes(dir / "ro", "x");
  SetFileAttributesA((dir / "ro").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(DeleteIfExists(dir / "ro"));
  SetFileAttributesA((dir / "ro").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(DeleteIfExists(dir / "ro"));
  EXPECT_FALSE(PathExists(dir / "ro"));
}

TEST_F(FileCopy, ExistenceNeedsAFileWithADateFrom1980On) {
  MakeDir(dir / "Install.Msg");
  EXPECT_FALSE(FileExists(dir / "Install.Msg"));
  EXPECT_EQ(FileAge(dir / "Install.Msg"), -1);
  WriteBytes(dir / "old.txt", "x");
  SetLocalWriteTime(dir / "old.txt", 1979, 12, 31, 23, 0, 0);
  EXPECT_FALSE(FileExists(dir / "old.txt"));
  EXPECT_EQ(FileAge(dir / "old.txt"), -1);
  SetLocalWriteTime(dir / "old.txt", 1980, 1, 1, 0, 0, 0);
  EXPECT_TRUE(FileExists(dir / "old.txt"));
  EXPECT_EQ(FileAge(dir / "old.txt"), (0 << 25 | 1 << 21 | 1 << 16));
  EXPECT_FALSE(FileExists(dir / "missing.txt"));
}

TEST_F(FileCopy, FileDatesOfMissingFilesAndTheTwoSecondStep) {
  EXPECT_EQ(GetFileDate(dir / "missing"), 0);
  SetFileDate(dir / "missing", 0x2E5A6000);
  EXPECT_FALSE(PathExists(dir / "missing"));
  WriteBytes(dir / "f", "x");
  SetLocalWriteTime(dir / "f", 2003, 4, 5, 6, 7, 9);  // odd seconds round down
  std::int32_t expected = (23 << 25) | (4 << 21) | (5 << 16) | (6 << 11) | (7 << 5) | 4;
  EXPECT_EQ(GetFileDate(dir / "f"), expected);
  SetFileDate(dir / "f", expected + 1);  // two seconds later
  EXPECT_EQ(FileAge(dir / "f"), expected + 1);
}
