// Expanding the SZDD main program through LZ32, and its three "CopyFile" boxes.
#include <gtest/gtest.h>

#include "expand.h"
#include "test_support.h"

TEST(ExpandCompressedFile, ExpandsWhatMscompressMadeByteForByte) {
  ScratchDir dir;
  FakeBoxes boxes;
  WriteBytes(dir / "Vrb.exe", "an older file that is replaced");
  ASSERT_TRUE(ExpandCompressedFile(BinFile("Vrb.ex_"), dir / "Vrb.exe"));
  EXPECT_EQ(ReadBytes(dir / "Vrb.exe"), ReadBytes(BinFile("Vrb.exe")));
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST(ExpandCompressedFile, AMissingSourceShowsOneBoxAndLeavesTheDestination) {
  ScratchDir dir;
  FakeBoxes boxes;
  WriteBytes(dir / "Vrb.exe", "kept");
  EXPECT_FALSE(ExpandCompressedFile(dir / "Vrb.Ex_", dir / "Vrb.exe"));
  EXPECT_EQ(boxes.Summary(), std::vector<std::string>{"CopyFile|Error opening source file \"" +
                                                      dir.path() + "Vrb.Ex_\""});
  EXPECT_EQ(ReadBytes(dir / "Vrb.exe"), "kept");
}

TEST(ExpandCompressedFile, AMissingDestinationFolderShowsTheDestinationBox) {
  ScratchDir dir;
  FakeBoxes boxes;
  WriteBytes(dir / "Vrb.Ex_", ReadBytes(BinFile("Vrb.ex_")));
  EXPECT_FALSE(ExpandCompressedFile(dir / "Vrb.Ex_", dir / "none\\Vrb.exe"));
  EXPECT_EQ(boxes.Summary(), std::vector<std::string>{"CopyFile|Error opening destination file \"" +
                                                      dir.path() + "none\\Vrb.exe\""});
  // The source handle was closed: the file can go at once.
  EXPECT_TRUE(DeleteFileA((dir / "Vrb.Ex_").c_str()));
}

namespace {
LONG WINAPI CopyFails(INT, INT) { return -5; }  // LZERROR_WRITE: the disk is full
}  // namespace

TEST(ExpandCompressedFile, AFailedCopyShowsTheCopyBoxAndKeepsWhatWasWritten) {
  ScratchDir dir;
  FakeBoxes boxes;
  Sys().LZCopy = CopyFails;
  EXPECT_FALSE(ExpandCompressedFile(BinFile("Vrb.ex_"), dir / "Vrb.exe"));
  EXPECT_EQ(boxes.Summary(),
            std::vector<std::string>{"CopyFile|Error copying file \"" + BinFile("Vrb.ex_") +
                                     "\" to \"" + dir.path() + "Vrb.exe\""});
  // The destination the library created stays; both handles were closed.
  EXPECT_TRUE(PathExists(dir / "Vrb.exe"));
  EXPECT_TRUE(DeleteFileA((dir / "Vrb.exe").c_str()));
}
