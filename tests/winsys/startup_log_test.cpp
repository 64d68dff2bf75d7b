// Startup.Log: whole-file rewrites, CR LF line ends, on only with a prefix.
#include <gtest/gtest.h>

#include "failure.h"
#include "startup_log.h"
#include "test_support.h"

class StartupLog : public ::testing::Test {
 protected:
  void TearDown() override { ReleaseLog(); }
  ScratchDir dir;
};

TEST_F(StartupLog, LogLineBeforeStartLogTouchesNoFile) {
  ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
  LogLine("x");
  EXPECT_TRUE(ListNames(dir.path()).empty());
}

TEST_F(StartupLog, AnEmptyPrefixCreatesAnEmptyFileAndLeavesLoggingOff) {
  ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
  StartLog("");
  LogLine("not written");
  EXPECT_EQ(ReadBytes(dir / "Startup.Log"), "");
}

TEST_F(StartupLog, AnEarlierTraceIsContinuedLineByLine) {
  WriteBytes(dir / "Startup.Log", "one\r\ntwo\nthree\r");
  StartLog(dir.path());
  EXPECT_EQ(ReadBytes(dir / "Startup.Log"), "one\r\ntwo\r\nthree\r\n");
  LogLine("x");
  EXPECT_EQ(ReadBytes(dir / "Startup.Log"), "one\r\ntwo\r\nthree\r\nx\r\n");
  LogLine("");
  EXPECT_EQ(ReadBytes(dir / "Startup.Log"), "one\r\ntwo\r\nthree\r\nx\r\n\r\n");
}

TEST_F(StartupLog, AnEmptyPrefixRewritesAnEarlierFileUnchangedInContent) {
  WriteBytes(dir / "Startup.Log", "a\r\nb\r\n");
  ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
  StartLog("");
  EXPECT_EQ(ReadBytes(dir / "Startup.Log"), "a\r\nb\r\n");
}

TEST_F(StartupLog, AnUnwritableLogTurnsLoggingOffSilently) {
  FakeBoxes boxes;
  StartLog(dir / "missing\\");
  LogLine("x");  // must not raise: logging is off
  EXPECT_FALSE(PathExists(dir / "missing"));
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(StartupLog, AFailedRewriteInLogLineRaisesCannotCreate) {
  StartLog(dir.path());
  // The log file turns into a folder: it can no longer be rewritten.
  ASSERT_TRUE(DeleteFileA((dir / "Startup.Log").c_str()));
  MakeDir(dir / "Startup.Log");
  try {
    LogLine("x");
    FAIL() << "nothing raised";
  } catch (const Failure& f) {
    EXPECT_EQ(f.kind, FailureKind::FCreateError);
    EXPECT_EQ(f.message, "Cannot create file " + dir.path() + "Startup.Log");
  }
}
