#include "run_and_wait.h"

#include <windows.h>

#include "handles.h"
#include "startup_log.h"
#include "wrappers.h"

bool RunAndWait(const std::string& commandLine) {
  LogLine("Registering Com Interface: " + commandLine);
  std::string line = commandLine;  // CreateProcessA may write into its command line
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CheckedCreateProcess(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process)) {
    LogLine("Registering Com Interface failed with error: " + std::to_string(GetLastError()));
    return false;
  }
  FileHandle processHandle(process.hProcess);
  FileHandle threadHandle(process.hThread);
  CheckedWaitForSingleObject(processHandle.get(), INFINITE);
  return true;
}
