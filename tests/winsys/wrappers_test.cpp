// Wrapped calls: the "Windows Error: <id>" box in the system's words, the log line.
#include <gtest/gtest.h>

#include "startup_log.h"
#include "test_support.h"
#include "wrappers.h"

namespace {

std::string SystemText(DWORD code) {
  char text[256] = "";
  FormatMessageA(0x10FF, nullptr, code, 0, text, 255, nullptr);
  return text;
}

UINT WINAPI WinExecFailsSilently(LPCSTR, UINT) { return 0; }
UINT WINAPI WinExecFailsWith5(LPCSTR, UINT) {
  SetLastError(ERROR_ACCESS_DENIED);
  return 5;
}

}  // namespace

TEST(CheckedWinExec, AMissingProgramShowsTheSystemTextCaptionedWith36) {
  ScratchDir dir;
  FakeBoxes boxes;
  UINT result = CheckedWinExec((dir / "missing.exe").c_str(), SW_SHOWNORMAL);
  EXPECT_EQ(result, 2u);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].caption, "Windows Error: 36");
  EXPECT_EQ(boxes.boxes()[0].text, SystemText(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(boxes.boxes()[0].text.empty());
  EXPECT_EQ(boxes.boxes()[0].type, static_cast<UINT>(MB_OK));
}

TEST(CheckedWinExec, AStartedProgramShowsNothing) {
  FakeBoxes boxes;
  SetEnv("VRB_STUB_LOG", "");
  EXPECT_GE(CheckedWinExec(BinFile("Vrb.exe").c_str(), SW_SHOWNORMAL), 32u);
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST(CheckedWinExec, AFailureWithoutALastErrorCodeIsNotReported) {
  ScratchDir dir;
  ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
  StartLog(dir.path());
  FakeBoxes boxes;
  Sys().WinExec = WinExecFailsSilently;
  EXPECT_EQ(CheckedWinExec("anything", SW_SHOWNORMAL), 0u);
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(ReadBytes(dir / "Startup.Log"), "");
  ReleaseLog();
}

TEST(CheckedWinExec, TheReportIsLoggedWithTheCallIdentifier) {
  ScratchDir dir;
  StartLog(dir.path());
  FakeBoxes boxes;
  Sys().WinExec = WinExecFailsWith5;
  EXPECT_EQ(CheckedWinExec("anything", SW_SHOWNORMAL), 5u);
  ReleaseLog();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(ReadBytes(dir / "Startup.Log"),
            "Windows Error (36) " + SystemText(ERROR_ACCESS_DENIED) + "\r\n");
}

TEST(CheckedWinExec, ClearsAnEarlierLastErrorBeforeTheCall) {
  FakeBoxes boxes;
  Sys().WinExec = WinExecFailsSilently;
  SetLastError(ERROR_ACCESS_DENIED);  // left over from something else
  CheckedWinExec("anything", SW_SHOWNORMAL);
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST(ShowBox, ABoxThatCannotBeShownIsReportedWith24) {
  FakeBoxes boxes({0, IDOK}, ERROR_ACCESS_DENIED);
  ShowBox("Warning: 4 Megs of temporary space needed for Setup", "Setup Warning");
  ASSERT_EQ(boxes.boxes().size(), 2u);
  EXPECT_EQ(boxes.boxes()[0].caption, "Setup Warning");
  EXPECT_EQ(boxes.boxes()[0].type, static_cast<UINT>(MB_OK));
  EXPECT_EQ(boxes.boxes()[1].caption, "Windows Error: 24");
  EXPECT_EQ(boxes.boxes()[1].text, SystemText(ERROR_ACCESS_DENIED));
}

TEST(ShowBox, AFailedReportBoxIsNotReportedAgain) {
  FakeBoxes boxes({0, 0}, ERROR_ACCESS_DENIED);
  ShowBox("text", "caption");
  EXPECT_EQ(boxes.boxes().size(), 2u);
}

TEST(CheckedWaitForSingleObject, AnInvalidHandleIsReportedWith35) {
  FakeBoxes boxes;
  EXPECT_EQ(CheckedWaitForSingleObject(nullptr, 0), WAIT_FAILED);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].caption, "Windows Error: 35");
  EXPECT_EQ(boxes.boxes()[0].text, SystemText(ERROR_INVALID_HANDLE));
}

TEST(CheckedCreateProcess, AMissingProgramIsReportedWith4) {
  ScratchDir dir;
  FakeBoxes boxes;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string line = dir / "none.exe /unregserver";
  EXPECT_FALSE(CheckedCreateProcess(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                                    nullptr, &si, &pi));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].caption, "Windows Error: 4");
}
