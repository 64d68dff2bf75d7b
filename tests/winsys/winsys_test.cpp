// WinSys in process, as tables of rows: what needs the seam table (a full disk, a failed read,
// WinExec results, a box that cannot be shown) or lies out of a whole program's reach.
#include <gtest/gtest.h>

#include "fatal_report.h"
#include "file_copy.h"
#include "file_info.h"
#include "folders.h"
#include "registry.h"
#include "startup_log.h"
#include "test_support.h"
#include "text.h"
#include "wrappers.h"

#define ROWS(Suite, rows) INSTANTIATE_TEST_SUITE_P(Cases, Suite, ::testing::ValuesIn(rows), [](const auto& i) { return std::string(i.param.name); })
using Lines = std::vector<std::string>;

int g_calls = 0;  // the second block fails: the disk is full, a sector is bad
BOOL WINAPI ShortWrite(HANDLE h, LPCVOID d, DWORD n, LPDWORD put, LPOVERLAPPED o) { return WriteFile(h, d, ++g_calls == 2 ? n / 2 : n, put, o); }
BOOL WINAPI FailedRead(HANDLE h, LPVOID d, DWORD n, LPDWORD got, LPOVERLAPPED o) { return ++g_calls == 2 ? *got = 0 : ReadFile(h, d, n, got, o); }
// "e<n>" returns n with last error 5, "-<n>" returns n and sets none.
UINT WINAPI FakeWinExec(LPCSTR line, UINT) { if (*line == 'e') SetLastError(ERROR_ACCESS_DENIED); return atoi(line + 1); }

// At the destination: 'n' nothing, 'o' "old", 'h' "old" held open without sharing, 'p' not even its folder.
// Fault 'w': a short write, 'r': a failed read. Left: "new" is the copy.
struct CopyRow { const char* name; int size; char old, fault; std::string left; };
const CopyRow kCopyRows[] = {{"AnEmptySourceReplacesALongerFile", 0, 'o', 0, "new"},
                             {"ThreeBlocksAndABit", 16384 * 3 + 5, 'n', 0, "new"},
                             {"AMissingSourceStillDeletesTheOldCopy", -1, 'o', 0, "none"},
                             {"AMissingDestinationFolderFails", 4, 'p', 0, "none"},
                             {"ADestinationInUseKeepsItsOldContent", 4, 'h', 0, "old"},
                             {"AShortWriteFailsAndLeavesNoHalfCopyThatWouldPassForCurrent", 16384 * 2, 'n', 'w', "none"},
                             {"AReadThatFailsHalfWayIsNoCopy", 16384 * 3, 'o', 'r', "none"}};
void PrintTo(const CopyRow& row, std::ostream* os) { *os << row.name; }
class FileCopy : public ::testing::TestWithParam<CopyRow> {};
ROWS(FileCopy, kCopyRows);
TEST_P(FileCopy, CopiesWithTheSourceDateOrLeavesNoCopy) {
  const CopyRow& row = GetParam();
  ScratchDir dir;
  ScopedSysTable restore;
  const std::string src = dir / "src.bin", dst = dir / (row.old == 'p' ? "no\\dst.bin" : "dst.bin");
  const std::string data(std::max(row.size, 0), 'n');
  if (row.size >= 0) WriteBytes(src, data), SetLocalWriteTime(src, 2003, 4, 5, 6, 7, 8);
  if (row.old == 'o' || row.old == 'h') WriteBytes(dst, "old");
  HANDLE held = row.old == 'h' ? CreateFileA(dst.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) : nullptr;
  Sys().WriteFile = row.fault == 'w' ? ShortWrite : WriteFile, g_calls = 0;
  Sys().ReadFile = row.fault == 'r' ? FailedRead : ReadFile;
  EXPECT_EQ(CopyFileKeepDate(src, dst), row.left == "new");
  if (held) CloseHandle(held);
  EXPECT_EQ(PathExists(dst) ? ReadBytes(dst) : "none", row.left == "new" ? data : row.left);
  if (row.left == "new") EXPECT_EQ(FileAge(dst), FileAge(src));
  if (row.size >= 0) EXPECT_TRUE(DeleteFileA(src.c_str()));  // the source was closed again
}

// Startup.Log, registry reads, wrapped calls, the fatal report, words: a call, its result, boxes and log.
const char kKey[] = "Software\\VrbTests\\Registry";
const std::string kPath = "C:\\Program Files\\Verbalis\\", kLong = "c:\\" + std::string(100000, 'x') + "\\";
std::string Read(DWORD type, const std::string& data, const char* key = "\\Software\\VrbTests\\Registry") {
  const std::string raw = data + (type == REG_SZ || type == REG_EXPAND_SZ ? std::string(1, '\0') : "");
  RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "Value", type, raw.data(), raw.size());
  std::string value = "stale";
  try { ReadRegString("Value", key, HKEY_CURRENT_USER, value); } catch (const Failure& f) { return value + "|" + f.message; }
  return value;
}
std::string Logged(const std::string& value) { return "Registry Read for Key: Value Value: \"" + value + "\"\r\n"; }
std::string Box(int id, DWORD code) {
  char text[256] = "";
  FormatMessageA(0x10FF, nullptr, code, 0, text, 255, nullptr);
  return "Windows Error: " + std::to_string(id) + "|" + text;
}
std::string Fatal(FailureKind kind, const std::string& message) {
  ReportFatalError(Failure{kind, message, reinterpret_cast<const void*>(0x4012ab)}, "C:\\Program Files\\Verbalis\\vrbdel.exe");
  return "";
}
// Logs "x" and "" from `prefix` on, over an earlier trace; the log file may turn into a folder first.
std::string Trace(const std::string& dir, const char* earlier, const std::string& prefix, bool breaks = false) {
  ReleaseLog(), DeleteFileA((dir + "Startup.Log").c_str()), SetCurrentDirectoryA(dir.c_str());
  LogLine("before the log was started");
  if (earlier) WriteBytes(dir + "Startup.Log", earlier);
  StartLog(prefix);
  if (breaks) DeleteFileA((dir + "Startup.Log").c_str()), MakeDir(dir + "Startup.Log");
  std::string raised;
  for (const char* line : {"x", ""}) try { LogLine(line); } catch (const Failure& f) { raised = std::string(f.message).erase(19, dir.size()) + "|"; }
  if (breaks) RemoveDirectoryA((dir + "Startup.Log").c_str());
  return raised + std::to_string(ListNames(dir).size());
}
std::string Word(const std::string& line, int index) { return CommandLineWord(line.c_str(), index); }
std::string Reported(int id, DWORD code) { return "Windows Error (" + std::to_string(id) + ") " + Box(id, code).substr(18) + "\r\n"; }
struct CallRow { const char* name; std::string (*call)(const std::string& dir); std::string result; Lines boxes; std::string log; std::vector<int> answers; };
const std::string kFatal = "Application Error|Exception E", kAt = " in module vrbdel.exe at 004012AB.\n";
const CallRow kCallRows[] = {
    {"AnEarlierTraceIsContinuedLineByLine", [](auto& d) { return Trace(d, "one\r\ntwo\nthree\r\r\nfour", d); }, "1", {}, "one\r\ntwo\r\nthree\r\n\r\nfour\r\nx\r\n\r\n"},
    {"AnEmptyPrefixRewritesAnEarlierFile", [](auto& d) { return Trace(d, "a\nb", ""); }, "1", {}, "a\r\nb\r\n"},
    {"AnUnwritableLogTurnsLoggingOffSilently", [](auto& d) { return Trace(d, nullptr, d + "missing\\"); }, "0", {}, "<missing>"},
    {"AFailedRewriteRaisesCannotCreate", [](auto& d) { return Trace(d, nullptr, d, true); }, "Cannot create file Startup.Log|0", {}, "<missing>"},
    {"AStringAsStored", [](auto&) { return Read(REG_SZ, kPath); }, kPath, {}, Logged(kPath)},
    {"AnExpandableStringUnexpanded", [](auto&) { return Read(REG_EXPAND_SZ, "%WINDIR%\\x"); }, "%WINDIR%\\x", {}, Logged("%WINDIR%\\x")},
    {"AnEmptyValueOfAnyTypeReadsEmpty", [](auto&) { return Read(REG_BINARY, ""); }, "", {}, Logged("")},
    {"OnlyAFileDatedFrom1980OnCountsInTwoSecondSteps", [](auto& d) {
       WriteBytes(d + "f", "x"), SetLocalWriteTime(d + "f", 1979, 12, 31, 23, 59, 59), MakeDir(d + "Install.Msg");
       const std::string before = std::to_string(FileAge(d + "f")) + " " + std::to_string(FileAge(d + "Install.Msg")) + " ";
       return SetLocalWriteTime(d + "f", 1980, 1, 1, 0, 0, 1), before + std::to_string(FileAge(d + "f"));
     }, "-1 -1 " + std::to_string(1 << 21 | 1 << 16), {}, ""},
    {"AShortPathIsLoweredByTheLocale", [](auto&) { return ShortLowerPath("C:\\No Such\\\xC9T\xC9\\"); }, "c:\\no such\\\xE9t\xE9\\", {}, ""},
    {"AMissingKeyLogsTheOpenFailure", [](auto&) { return Read(REG_SZ, "1", "Software\\VrbTests\\None"); }, "", {}, "Registry Open Failed for Key: Value\r\n"},
    {"ANumberKeepsItsRawBytesAndRaisesInvalidDataType", [](auto&) { return Read(REG_DWORD, {"78\0\0", 4}); }, {"78\0\0|Invalid data type for 'Value'", 34}, {}, ""},
    {"AHundredThousandCharacterValueIsReadWholeAndLogged", [](auto&) { return Read(REG_SZ, kLong); }, kLong, {}, Logged(kLong)},
    {"WinExecResultsUpTo31AreShownAndLogged", [](auto&) { return std::to_string(CheckedWinExec("e31", 1) + CheckedWinExec("e32", 1)); }, "63", {Box(36, 5)}, Reported(36, 5)},
    {"AFailureWithoutALastErrorCodeIsNotReported", [](auto&) { return std::to_string(CheckedWinExec("-0", 1)); }, "0", {}, ""},
    {"AFailedWaitIsReportedWith35", [](auto&) { return std::to_string(CheckedWaitForSingleObject(nullptr, 0)); }, std::to_string(WAIT_FAILED), {Box(35, 6)}, Reported(35, 6)},
    {"ABoxThatCannotBeShownIsReportedWith24", [](auto&) { return ShowBox("text", "Warning"), std::string(); }, "", {"Warning|text", Box(24, 5)}, Reported(24, 5), {0, IDOK}},
    {"AFailedReportBoxIsNotReportedAgain", [](auto&) { return ShowBox("text", "Warning"), std::string(); }, "", {"Warning|text", Box(24, 5)}, Reported(24, 5), {0, 0}},
    {"TheFatalReportAddsNoSecondFullStop", [](auto&) { return Fatal(FailureKind::InOutError, InOutErrorMessage(145) + "."); }, "", {kFatal + "InOutError" + kAt + "I/O error 145."}, ""},
    {"TheFatalReportAddsNoFullStopToNothing", [](auto&) { return Fatal(FailureKind::RangeError, ""); }, "", {kFatal + "RangeError" + kAt}, ""},
    {"TheFatalReportIsCutAt1024Characters", [](auto&) { return Fatal(FailureKind::RangeError, std::string(2000, 'x')); }, "", {(kFatal + "RangeError" + kAt + std::string(2000, 'x')).substr(0, 1042)}, ""},
    {"TheUninstallKeyGoesWithItsSubkeysAndNoOtherEntry", [](auto&) {
       const std::string other = "Software\\MicroSoft\\Windows\\CurrentVersion\\Uninstall\\Other";
       for (const std::string& key : {kUninstallKey + std::string("\\A\\B"), kUninstallKey + std::string("\\A\\C"), other}) SetRegString(HKEY_LOCAL_MACHINE, key, "x", "1");
       DeleteUninstallKey();
       const std::string left = std::to_string(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) + std::to_string(RegKeyExists(HKEY_LOCAL_MACHINE, other));
       return DeleteRegTree(HKEY_LOCAL_MACHINE, other), left;
     }, "01", {}, ""},
    // The unquoted rules are fuzzed against a plain split (fuzz/); these are the quoted ones and the limits.
    {"QuotedSectionsKeepBlanksAndLoseTheirQuotes", [](auto&) { return Word("x a\"b c\"d", 1); }, "ab cd", {}, ""},
    {"AnEmptyQuotedPairIsASeparator", [](auto&) { return Word("x \"\" autorun", 1); }, "autorun", {}, ""},
    {"ThereIsNoEscapeCharacter", [](auto&) { return Word("x a\\\"b c\"", 1); }, "a\\b c", {}, ""},
    {"AnUnterminatedQuoteRunsToTheEnd", [](auto&) { return Word("x \"unterminated blank", 1); }, "unterminated blank", {}, ""},
    {"AWordIsCutAt4096Characters", [](auto&) { return Word("x \"" + std::string(5000, 'a') + "\" next", 1) + Word("x " + std::string(5000, 'a') + " next", 2); }, std::string(4096, 'a') + "next", {}, ""},
    {"MissingWordsAreEmpty", [](auto&) { return Word("setup.exe   ", 1); }, "", {}, ""}};
void PrintTo(const CallRow& row, std::ostream* os) { *os << row.name; }
class Calls : public ::testing::TestWithParam<CallRow> {};
ROWS(Calls, kCallRows);
TEST_P(Calls, ShowTheirBoxesAndLogTheirOutcome) {
  ScratchDir dir;
  StartLog(dir.path());
  FakeBoxes boxes(GetParam().answers);
  Sys().WinExec = FakeWinExec;
  SetLastError(ERROR_ACCESS_DENIED);  // left over from an earlier call
  EXPECT_EQ(GetParam().call(dir.path()), GetParam().result);
  ReleaseLog();
  DeleteRegTree(HKEY_CURRENT_USER, "Software\\VrbTests");
  EXPECT_EQ(boxes.Summary(), GetParam().boxes);
  for (const RecordedBox& box : boxes.boxes()) EXPECT_EQ(box.type, box.caption[0] == 'A' ? 0x2010u : UINT(MB_OK));
  EXPECT_EQ(ReadBytes(dir / "Startup.Log"), GetParam().log);
}

TEST(ShellFolders, FallBackToTheWindowsFolderWithTheSuffixAsWritten) {
  const char key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  std::string desktop, programs;
  ReadRegString("DeskTop", key, HKEY_CURRENT_USER, desktop), ReadRegString("Programs", key, HKEY_CURRENT_USER, programs);
  SetRegString(HKEY_CURRENT_USER, key, "DeskTop", "C:\\Users\\Me\\Desktop"), SetRegString(HKEY_CURRENT_USER, key, "Programs", "");
  EXPECT_EQ(DesktopFolder() + "|" + ProgramsFolder(), "c:\\users\\me\\desktop\\|c:\\windows\\Start Menu\\Programs\\");
  SetRegString(HKEY_CURRENT_USER, key, "DeskTop", "");
  EXPECT_EQ(DesktopFolder(), "c:\\windows\\Desktop\\");
  SetRegString(HKEY_CURRENT_USER, key, "DeskTop", desktop), SetRegString(HKEY_CURRENT_USER, key, "Programs", programs);
}
