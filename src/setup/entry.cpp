#include "entry.h"

#include <windows.h>

#include <new>
#include <string>

#include "code_page.h"
#include "run_setup.h"
#include "run_uninstall.h"
#include "failure.h"
#include "fatal_report.h"
#include "startup_log.h"
#include "text.h"
#include "wrappers.h"

namespace {

std::string ModuleFileName() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);  // truncated: ask again with more room
  }
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
    programPath = ModuleFileName();
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
