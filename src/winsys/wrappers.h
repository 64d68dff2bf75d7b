// Wrapped system calls: a failure is shown in the system's own words
// ("Windows Error: <id>" box) and logged; the raw result is returned.
#pragma once
#include <windows.h>

#include <string>

enum CallId : int {
  kCallCreateProcess = 4,
  kCallGetVersionEx = 16,
  kCallMessageBox = 24,
  kCallWaitForSingleObject = 35,
  kCallWinExec = 36,
  kCallGetWindowsDirectory = 38,
  kCallGetTempPath = 40,
};

void ClearLastError();
void ReportWindowsError(int callId);

BOOL CheckedCreateProcess(LPCSTR applicationName, LPSTR commandLine,
                          LPSECURITY_ATTRIBUTES processAttributes,
                          LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles,
                          DWORD creationFlags, LPVOID environment, LPCSTR currentDirectory,
                          LPSTARTUPINFOA startupInfo, LPPROCESS_INFORMATION processInformation);
DWORD CheckedGetShortPathName(LPCSTR longPath, LPSTR buffer, DWORD bufferLength);
BOOL CheckedGetVersionEx(LPOSVERSIONINFOA versionInfo);
int CheckedMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
DWORD CheckedWaitForSingleObject(HANDLE handle, DWORD milliseconds);
UINT CheckedWinExec(LPCSTR commandLine, UINT showCommand);

// A notice with an OK button and no owner window.
void ShowBox(const std::string& text, const std::string& caption);

// Locale-aware lower case of the system code page (CharLowerBuffA).
std::string LowerLocale(std::string text);
