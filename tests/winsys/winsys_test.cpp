// WinSys in process, as a table of rows: what needs the seam table (a full disk, a failed read, WinExec results, a box
// that cannot be shown) or lies below what a whole program shows.
#include <gtest/gtest.h>

#include "fatal_report.h"
#include "file_copy.h"
#include "file_info.h"
#include "handles.h"
#include "jaws_settings.h"
#include "registry.h"
#include "relative_files.h"
#include "run_and_wait.h"
#include "setup_paths.h"
#include "startup_log.h"
#include "test_support.h"
#include "text.h"
#include "wrappers.h"

using Lines = std::vector<std::string>;

int calls = 0;  // the second block fails: the disk is full, a sector is bad
BOOL WINAPI ShortWrite(HANDLE h, LPCVOID data, DWORD n, LPDWORD put, LPOVERLAPPED o) {
  return WriteFile(h, data, ++calls == 2 ? n / 2 : n, put, o);
}
BOOL WINAPI FailedRead(HANDLE h, LPVOID data, DWORD n, LPDWORD got, LPOVERLAPPED o) {
  return ++calls == 2 ? *got = 0 : ReadFile(h, data, n, got, o);
}

// Copies `size` bytes (-1: no source) over a destination: 'n' none, 'o' "old"; fault 'w' a
// short write, 'r' a failed read. Tells the result, what is left ("copy" for the whole source), whether the source was
// let go, and how many files the folder holds besides Startup.Log (none of the copy's own). Dates: see the setup rows.
std::string Copy(const std::string& dir, int size, char old, char fault = 0) {
  const std::string src = dir + "src.bin", dst = dir + "dst.bin";
  const std::string data(std::max(size, 0), 'n');
  if (size >= 0) WriteBytes(src, data);
  if (size >= 0) SetLocalWriteTime(src, 2003, 4, 5, 6, 7, 8);
  if (old == 'o') WriteBytes(dst, "old");
  Sys().WriteFile = fault == 'w' ? ShortWrite : WriteFile;
  Sys().ReadFile = fault == 'r' ? FailedRead : ReadFile;
  calls = 0;
  FileHandle folder(OpenFolderByPath(dir));
  const bool copied = CopyFileKeepDate(src, folder.get(), L"dst.bin");
  const std::string left = !PathExists(dst) ? "none" : ReadBytes(dst) == data ? "copy" : ReadBytes(dst);
  const std::string freed = std::to_string(size < 0 || DeleteFileA(src.c_str()));
  return std::to_string(copied) + ' ' + left + ' ' + freed + ' ' + std::to_string(ListNames(dir).size() - 1);
}

// Startup.Log, registry reads, wrapped calls, the fatal report, words and paths: a call, its result, the boxes it
// showed and what it logged.
const std::string kKey = "Software\\VrbTests\\Registry";
const std::string kLong = "c:\\" + std::string(100000, 'x') + "\\";
std::string Read(DWORD type, const std::string& data, const std::string& key = "\\" + kKey) {
  const std::string raw = data + (type == REG_SZ || type == REG_EXPAND_SZ ? std::string(1, '\0') : "");
  RegSetKeyValueA(HKEY_CURRENT_USER, kKey.c_str(), "Value", type, raw.data(), static_cast<DWORD>(raw.size()));
  std::string value = "stale";
  try {
    ReadRegString("Value", key, HKEY_CURRENT_USER, value);
  } catch (const Failure& failure) {
    return value + "|" + failure.message;
  }
  return value;
}
std::string Logged(const std::string& value) { return "Registry Read for Key: Value Value: \"" + value + "\"\r\n"; }
std::string Box(int id, DWORD code) {
  char text[256] = "";
  FormatMessageA(0x10FF, nullptr, code, 0, text, 255, nullptr);
  return "Windows Error: " + std::to_string(id) + "|" + text;
}
std::string Reported(int id, DWORD code) {
  return "Windows Error (" + std::to_string(id) + ") " + Box(id, code).substr(Box(id, code).find('|') + 1) + "\r\n";
}
std::string Fatal(FailureKind kind, const std::string& message) {
  const void* at = reinterpret_cast<const void*>(0x4012ab);
  ReportFatalError(Failure{kind, message, at}, "C:\\Program Files\\Verbalis\\vrbdel.exe");
  return "";
}
// Code page 932, where a character's second byte may look like "\" (0x95 0x5C) or "U" (0x83 0x55).
template <typename Rule>
std::string InCodePage932(Rule rule, const std::string& text) {
  bool lead[256] = {};
  for (int byte = 0x81; byte <= 0xFC; ++byte) lead[byte] = byte <= 0x9F || byte >= 0xE0;
  SetLeadBytes(lead);
  const std::string result = rule(text);
  std::fill(lead, lead + 256, false);
  SetLeadBytes(lead);
  return result;
}
std::string Word(const std::string& line, int index) { return CommandLineWord(line.c_str(), index); }
DWORD waited = 0;  // the time-out of the last wait
DWORD WINAPI RecordedWait(HANDLE h, DWORD milliseconds) { return WaitForSingleObject(h, waited = milliseconds); }
UINT WINAPI FakeWinExec(LPCSTR line, UINT) {  // "e<n>" returns n with last error 5, "-<n>" n and none
  if (*line == 'e') SetLastError(ERROR_ACCESS_DENIED);
  return atoi(line + 1);
}

struct CallRow {  // the call gets the scratch folder; the boxes it shows are answered by `answers`
  const char* name; std::string (*call)(const std::string& dir); std::string result; Lines boxes; std::string log;
  std::vector<int> answers;
};
const std::string kFatal = "Application Error|Exception E", kAt = " in module vrbdel.exe at 004012AB.\n";
const char kCmd[] = "C:\\windows\\system32\\cmd.exe /c exit";
const std::string kU = "\x83\x55", kYen = "\x95\x5c", kStartFailed = "Registering Com Interface failed with error: ";
const CallRow kCallRows[] = {
    {"AMissingKeyLogsTheOpenFailure", [](auto&) { return Read(REG_SZ, "1", "Software\\VrbTests\\None"); },
     "", {}, "Registry Open Failed for Key: Value\r\n"},
    {"ANumberKeepsItsRawBytesAndRaisesInvalidDataType", [](auto&) { return Read(REG_DWORD, {"78\0\0", 4}); },
     {"78\0\0|Invalid data type for 'Value'", 34}, {}, ""},
    {"AHundredThousandCharacterValueIsReadWholeAndLogged", [](auto&) { return Read(REG_SZ, kLong); },
     kLong, {}, Logged(kLong)},
    {"WinExecResultsUpTo31AreShownAndLogged",
     [](auto&) { return std::to_string(CheckedWinExec("e31", 1) + CheckedWinExec("e32", 1)); },
     "63", {Box(36, 5)}, Reported(36, 5)},
    {"AFailedStartIsReportedWith4", [](auto&) { return std::to_string(RunAndWait("C:\\windows\\none.exe /x")); }, "0",
     {Box(4, 2)}, "Registering Com Interface: C:\\windows\\none.exe /x\r\n" + Reported(4, 2) + kStartFailed + "2\r\n"},
    {"TheUnregistrationIsWaitedForWithoutLimit",
     [](auto&) { return Sys().WaitForSingleObject = RecordedWait, std::to_string(RunAndWait(kCmd) ? waited : 0); },
     std::to_string(INFINITE), {}, "Registering Com Interface: " + std::string(kCmd) + "\r\n"},
    {"AFailureWithoutALastErrorCodeIsNotReported", [](auto&) { return std::to_string(CheckedWinExec("-0", 1)); },
     "0"},
    {"AFailedWaitIsReportedWith35", [](auto&) { return std::to_string(CheckedWaitForSingleObject(nullptr, 0)); },
     std::to_string(WAIT_FAILED), {Box(35, 6)}, Reported(35, 6)},
    {"ABoxThatCannotBeShownIsReportedWith24", [](auto&) { return ShowBox("text", "Warning"), std::string(); },
     "", {"Warning|text", Box(24, 5)}, Reported(24, 5), {0, IDOK}},
    {"AFailedReportBoxIsNotReportedAgain", [](auto&) { return ShowBox("text", "Warning"), std::string(); },
     "", {"Warning|text", Box(24, 5)}, Reported(24, 5), {0, 0}},
    {"TheFatalReportAddsAFullStopOnlyWhereItLacksOne",
     [](auto&) {
       Fatal(FailureKind::InOutError, InOutErrorMessage(145) + ".");
       return Fatal(FailureKind::RangeError, "");
     },
     "", {kFatal + "InOutError" + kAt + "I/O error 145.", kFatal + "RangeError" + kAt}},
    {"TheFatalReportIsCutAt1024Characters",
     [](auto&) { return Fatal(FailureKind::RangeError, std::string(2000, 'x')); },
     "", {(kFatal + "RangeError" + kAt + std::string(2000, 'x')).substr(0, 1042)}},
    // The unquoted rules are fuzzed against a plain split (fuzz/); these are the quoted ones and the limits.
    {"QuotedSectionsKeepBlanksAndLoseTheirQuotes", [](auto&) { return Word("x a\"b c\"d", 1); }, "ab cd"},
    {"AnEmptyQuotedPairIsASeparator", [](auto&) { return Word("x \"\" autorun", 1); }, "autorun"},
    {"ThereIsNoEscapeAndAnUnterminatedQuoteRunsToTheEnd", [](auto&) { return Word("x a\\\"b c", 1); }, "a\\b c"},
    {"AWordIsCutAt4096Characters",
     [](auto&) { return Word("x \"" + std::string(5000, 'a') + "\"", 1) + Word("x " + std::string(5000, 'b'), 1); },
     std::string(4096, 'a') + std::string(4096, 'b')},
    {"AMissingSourceLeavesTheOldCopy", [](auto& d) { return Copy(d, -1, 'o'); }, "0 old 1 1"},
    {"AShortWriteFailsAndLeavesNoHalfCopyThatWouldPassForCurrent", [](auto& d) { return Copy(d, 32768, 'n', 'w'); },
     "0 none 1 0"},
    {"AReadThatFailsHalfWayKeepsTheOldCopy", [](auto& d) { return Copy(d, 16384 * 3, 'o', 'r'); }, "0 old 1 1"},
    // Where the system keeps no short names, a program path may hold a blank: "C:\Program.exe" must not start.
    {"AProgramPathWithABlankIsQuoted",
     [](auto&) { return InstallCommandLine("c:\\my files\\", "d:\\") + "|" + InstallCommandLine("c:\\x\\", "d:\\"); },
     "\"c:\\my files\\VRB.EXE\" \"d:\\\"|c:\\x\\VRB.EXE \"d:\\\""},
    {"CodePage932SecondBytesAreNeitherLoweredNorTakenForBackslashes", [](auto&) {
       return InCodePage932(LowerAZ, "C:\\" + kU + "X") + InCodePage932(NormalizeDir, "D:\\" + kYen) + "|" +
              InCodePage932(FileNamePart, "E:\\" + kYen) + "|" + InCodePage932(JawsSettingsPath, kYen + "jconfig.exe") +
              InCodePage932(JawsSettingsPath, "\"C:\\" + kYen + "\\JConfig.exe\" \"%1\"");
     },
     "c:\\" + kU + "x" + "d:\\" + kYen + "\\|" + kYen + "|" + "C:\\" + kYen + "\\Settings\\"}};
void PrintTo(const CallRow& row, std::ostream* out) { *out << row.name; }
class Calls : public ::testing::TestWithParam<CallRow> {};
INSTANTIATE_TEST_SUITE_P(Cases, Calls, ::testing::ValuesIn(kCallRows),
                         [](const auto& row) { return std::string(row.param.name); });
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
