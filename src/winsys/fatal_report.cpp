#include "fatal_report.h"

#include <windows.h>

#include "sys_table.h"
#include "text.h"

void ReportFatalError(const Failure& failure, const std::string& programPath) {
  std::string text = FatalErrorText(failure, FileNamePart(programPath));
  Sys().MessageBoxA(nullptr, text.c_str(), "Application Error",
                    MB_OK | MB_ICONSTOP | MB_TASKMODAL);  // 0x2010
}
