#include "wrappers.h"

#include "startup_log.h"
#include "sys_table.h"

void ClearLastError() { SetLastError(ERROR_SUCCESS); }

void ReportWindowsError(int callId) {
  DWORD code = GetLastError();
  if (code == 0) return;  // a failure that set no code is not reported
  char text[256];
  text[0] = '\0';
  // 0x12FF: from the system, soft line breaks dropped, at most 255 a line. No
  // arguments are passed, so a text with inserts ("%1 is not a valid Win32
  // application.") is shown with its marks rather than not at all.
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                     FORMAT_MESSAGE_MAX_WIDTH_MASK,
                 nullptr, code, 0, text, 255, nullptr);
  text[255] = '\0';
  if (text[0] == '\0') return;
  std::string id = std::to_string(callId);
  // Directly, not through CheckedMessageBox: a failing report is not reported again.
  Sys().MessageBoxA(nullptr, text, ("Windows Error: " + id).c_str(), MB_OK);
  LogLine("Windows Error (" + id + ") " + text);
  SetLastError(code);  // the box and the log line must not change what the caller reads next
}

BOOL CheckedCreateProcess(LPCSTR applicationName, LPSTR commandLine,
                          LPSECURITY_ATTRIBUTES processAttributes,
                          LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles,
                          DWORD creationFlags, LPVOID environment, LPCSTR currentDirectory,
                          LPSTARTUPINFOA startupInfo, LPPROCESS_INFORMATION processInformation) {
  ClearLastError();
  BOOL result = Sys().CreateProcessA(applicationName, commandLine, processAttributes,
                                     threadAttributes, inheritHandles, creationFlags, environment,
                                     currentDirectory, startupInfo, processInformation);
  if (!result) ReportWindowsError(kCallCreateProcess);
  return result;
}

DWORD CheckedGetShortPathName(LPCSTR longPath, LPSTR buffer, DWORD bufferLength) {
  ClearLastError();
  return GetShortPathNameA(longPath, buffer, bufferLength);  // never reported
}

BOOL CheckedGetVersionEx(LPOSVERSIONINFOA versionInfo) {
  ClearLastError();
  BOOL result = GetVersionExA(versionInfo);
  if (!result) ReportWindowsError(kCallGetVersionEx);
  return result;
}

int CheckedMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  ClearLastError();
  int result = Sys().MessageBoxA(owner, text, caption, type);
  if (result == 0) ReportWindowsError(kCallMessageBox);
  return result;
}

DWORD CheckedWaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  ClearLastError();
  DWORD result = Sys().WaitForSingleObject(handle, milliseconds);
  if (result == WAIT_FAILED) ReportWindowsError(kCallWaitForSingleObject);
  return result;
}

UINT CheckedWinExec(LPCSTR commandLine, UINT showCommand) {
  ClearLastError();
  UINT result = Sys().WinExec(commandLine, showCommand);
  if (result <= 31) ReportWindowsError(kCallWinExec);
  return result;
}

void ShowBox(const std::string& text, const std::string& caption) {
  CheckedMessageBox(nullptr, text.c_str(), caption.c_str(), MB_OK);
}

std::string LowerLocale(std::string text) {
  if (!text.empty()) CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
  return text;
}
