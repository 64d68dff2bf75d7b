// Helpers shared by the tests: scratch folders, files, registry values, the fake message box, and running the built
// programs with boxes answered.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "boxbot.h"
#include "sys_table.h"

// A fresh folder C:\vrbtests\<test name>\, removed again after the test.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  const std::string& path() const { return path_; }  // ends in a backslash
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// In paths and values given to these helpers "?", which no Windows name holds, stands for the Cyrillic letter De.
std::wstring W(const std::string& path);
// The short (8.3) form of a path in the code page, as the launcher names folders; the path itself when it has none.
std::string ShortPath(const std::string& path);
// The path as the launcher names it: in the code page where it spells every character, else its short form.
std::string Reachable(const std::string& path);
void WriteBytes(const std::string& path, const std::string& content);
std::string ReadBytes(const std::string& path);  // "<missing>" when it cannot be read
bool PathExists(const std::string& path);
// Lines of a file ended by CR LF, the ends removed; empty when there is no file.
std::vector<std::string> FileLines(const std::string& path);
void MakeDir(const std::string& path);
// Removes a tree; directory links are unlinked, never descended into.
void RemoveTree(const std::string& path);
void SetLocalWriteTime(const std::string& path, int year, int month, int day, int hour = 12,
                       int minute = 0, int second = 0);
// Names in a folder, sorted, "." and ".." left out; folders end in "\".
std::vector<std::string> ListNames(const std::string& dir);
// Those of `wanted` that the folder (ending in "\") holds, in the order the system lists them.
std::vector<std::string> InListingOrder(const std::string& dir, const std::vector<std::string>& wanted);

void SetRegString(HKEY root, const std::string& key, const std::string& name, const std::string& value);
void SetRegDword(HKEY root, const std::string& key, const std::string& name, DWORD value);
void DeleteRegTree(HKEY root, const std::string& key);
bool RegKeyExists(HKEY root, const std::string& key);
// The uninstall key as the launcher reads it (no leading backslash).
extern const char kUninstallKey[];

struct RecordedBox {
  std::string caption, text;
  UINT type;
};
// Stands in for MessageBoxA while it lives: records every box and answers it from the script (IDOK once the script runs
// out). An answer of 0 makes the box fail with the last-error code failCode. Restores the whole system-call table when
// it goes, so a test may swap other entries too.
class FakeBoxes {
 public:
  explicit FakeBoxes(std::vector<int> answers = {}, DWORD failCode = ERROR_ACCESS_DENIED);
  ~FakeBoxes() { Sys() = saved_; }
  const std::vector<RecordedBox>& boxes() const;
  std::vector<std::string> Summary() const;  // "caption|text" of every box

 private:
  SysTable saved_ = Sys();
};

// Runs a Unix command on paths below C:\; Wine gives nothing to wait on: waits until the last is there, or gone.
void Unix(std::string command, const std::vector<std::string>& paths, bool gone);
// Stands in for SetProcessMitigationPolicy, refusing each: "policy:flags " of every call, in order.
extern std::string askedPolicies;
BOOL WINAPI RefusePolicy(PROCESS_MITIGATION_POLICY policy, PVOID flags, SIZE_T size);

// A file of the build's bin folder (Setup.exe, Vrb.exe, ...), where the tests run from too.
std::string BinFile(const std::string& name);
// Runs exePath with the arguments, answering its boxes in order ('O' or 'C').
BoxRun RunProgram(const std::string& exePath, const std::string& arguments,
                  const std::string& answers = "", const std::string& currentDirectory = "");
std::vector<std::string> BoxSummary(const BoxRun& run);
// Sets a process environment variable for programs started from now on ("" removes it).
void SetEnv(const std::string& name, const std::string& value);
