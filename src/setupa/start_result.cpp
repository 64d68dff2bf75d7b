#include "start_result.h"

#include "setup_messages.h"
#include "wrappers.h"

void ReportStartResult(unsigned result, const std::string& tempDir) {
  std::string text = StartFailureText(result, tempDir);
  if (!text.empty()) ShowBox(text, "WinExec");
}
