#include "entry.h"

#include <windows.h>

#include <new>
#include <string>
#include <vector>

#include "code_page.h"
#include "run_setup.h"
#include "run_uninstall.h"
#include "failure.h"
#include "fatal_report.h"
#include "startup_log.h"
#include "text.h"
#include "wrappers.h"

namespace {

// The program's own path as the A calls can use it. A folder whose name the
// code page cannot spell (a Cyrillic profile on a Western system) is taken in
// its short form; the file name stays, since it decides the role. Where not
// even that can be spelled, the drivers meet "?" in it and say so.
std::string OwnPath() {
  std::vector<wchar_t> path(MAX_PATH);
  DWORD n;
  // Truncated: ask again with more room.
  while ((n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) >= path.size())
    path.resize(path.size() * 2);
  std::string spelled, folder, name;
  if (ToCodePage(path.data(), n, spelled)) return spelled;
  DWORD cut = n;
  while (cut > 0 && path[cut - 1] != L'\\' && path[cut - 1] != L':') --cut;
  std::vector<wchar_t> folderPath(path.begin(), path.begin() + cut);
  folderPath.push_back(L'\0');
  folder = ReachablePath(folderPath.data());
  if (!folder.empty() && ToCodePage(path.data() + cut, n - cut, name)) return folder + name;
  std::string whole = ReachablePath(path.data());
  return whole.empty() ? spelled : whole;
}

// The launcher runs from download folders, where a planted DLL may wait beside
// it: where the system allows, later loads search the system folder only.
void RestrictDllSearch() {
  using SetDirsFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto setDirs = reinterpret_cast<SetDirsFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDirs) setDirs(0x00000800);  // LOAD_LIBRARY_SEARCH_SYSTEM32
}

}  // namespace

int RunProgram() {
  RestrictDllSearch();
  UseSystemCodePage();
  std::string programPath;
  int exitCode = 0;
  try {
    programPath = OwnPath();
    const char* commandLine = GetCommandLineA();
    if (IsUninstallerPath(LowerLocale(programPath)))
      RunUninstall(programPath, CommandLineWord(commandLine, 1), CommandLineWord(commandLine, 2));
    else
      RunSetup(programPath, CommandLineWord(commandLine, 1));
  } catch (const Failure& failure) {
    ReportFatalError(failure, programPath);
    exitCode = 1;
  } catch (const std::bad_alloc&) {
    ReportFatalError(Failure{FailureKind::OutOfMemory, "Out of memory", nullptr}, programPath);
    exitCode = 1;
  }
  ReleaseLog();
  return exitCode;
}
