// Command-line words, the A-Z lower case and directory normalisation.
#include <gtest/gtest.h>

#include "text.h"

TEST(CommandLineWord, BlanksAndControlCharactersSeparateWords) {
  const char* line = "setup.exe  first\tsecond\x01third";
  EXPECT_EQ(CommandLineWord(line, 0), "setup.exe");
  EXPECT_EQ(CommandLineWord(line, 1), "first");
  EXPECT_EQ(CommandLineWord(line, 2), "second");
  EXPECT_EQ(CommandLineWord(line, 3), "third");
  EXPECT_EQ(CommandLineWord(line, 4), "");
}

TEST(CommandLineWord, QuotedSectionsKeepBlanksAndLoseTheirQuotes) {
  const char* line = "\"C:\\Program Files\\Verbalis\\vrbdel.exe\" \"Verbalis Group\" a\"b c\"d";
  EXPECT_EQ(CommandLineWord(line, 0), "C:\\Program Files\\Verbalis\\vrbdel.exe");
  EXPECT_EQ(CommandLineWord(line, 1), "Verbalis Group");
  EXPECT_EQ(CommandLineWord(line, 2), "ab cd");
}

TEST(CommandLineWord, AnEmptyQuotedPairIsASeparatorAndThereIsNoEscape) {
  EXPECT_EQ(CommandLineWord("x \"\" autorun", 1), "autorun");
  EXPECT_EQ(CommandLineWord("x a\\\"b c\"", 1), "a\\b c");
  EXPECT_EQ(CommandLineWord("x \"unterminated blank", 1), "unterminated blank");
}

TEST(CommandLineWord, BytesAboveTheBlankAreWordCharacters) {
  EXPECT_EQ(CommandLineWord("x \xC9t\xE9 y", 1), "\xC9t\xE9");
}

TEST(CommandLineWord, AWordIsCutAt4096Characters) {
  std::string longWord(5000, 'a');
  std::string line = "x " + longWord + " next";
  EXPECT_EQ(CommandLineWord(line.c_str(), 1), std::string(4096, 'a'));
  EXPECT_EQ(CommandLineWord(line.c_str(), 2), "next");
  std::string exact = "x " + std::string(4096, 'b');
  EXPECT_EQ(CommandLineWord(exact.c_str(), 1).size(), 4096u);
}

TEST(CommandLineWord, MissingWordsAreEmpty) {
  EXPECT_EQ(CommandLineWord("", 0), "");
  EXPECT_EQ(CommandLineWord("setup.exe   ", 1), "");
  EXPECT_EQ(CommandLineWord(nullptr, 1), "");
}

TEST(NormalizeDir, LowersAToZAndEndsInABackslash) {
  EXPECT_EQ(NormalizeDir("C:\\Windows"), "c:\\windows\\");
  EXPECT_EQ(NormalizeDir("C:\\"), "c:\\");
  EXPECT_EQ(NormalizeDir(""), "");
  EXPECT_EQ(NormalizeDir("D:\\\xC9T\xC9"), "d:\\\xC9t\xC9\\");  // only A-Z
}

TEST(ModeSelection, TheFileNameMustBeginWithVrbdel) {
  EXPECT_TRUE(IsUninstallerPath("c:\\program files\\verbalis\\vrbdel.exe"));
  EXPECT_TRUE(IsUninstallerPath("vrbdel.exe"));
  EXPECT_FALSE(IsUninstallerPath("d:\\setup.exe"));
  // A folder named like the uninstaller must not turn a distribution into one.
  EXPECT_FALSE(IsUninstallerPath("e:\\vrbdelta\\setup.exe"));
  EXPECT_FALSE(IsUninstallerPath("c:\\program files\\verbalis\\remove.exe"));
  EXPECT_TRUE(IsUninstallerPath("c:vrbdel2.exe"));
}

TEST(SplitLines, AcceptsCrLfCrAndLf) {
  EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_TRUE(SplitLines("").empty());
}
