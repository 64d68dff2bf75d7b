// The few system calls whose failures Wine cannot produce on demand go
// through this table, so a test can swap one entry for a fake.
#pragma once
#include <windows.h>

struct SysTable {
  int(WINAPI* MessageBoxA)(HWND, LPCSTR, LPCSTR, UINT);
  UINT(WINAPI* WinExec)(LPCSTR, UINT);
  BOOL(WINAPI* CreateProcessA)(LPCSTR, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                               DWORD, LPVOID, LPCSTR, LPSTARTUPINFOA, LPPROCESS_INFORMATION);
  BOOL(WINAPI* ReadFile)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
  BOOL(WINAPI* WriteFile)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
  // The unregistration is waited for without limit.
  DWORD(WINAPI* WaitForSingleObject)(HANDLE, DWORD);
  // Wine does not keep the security descriptor asked for: a test reads what is passed.
  BOOL(WINAPI* CreateDirectoryA)(LPCSTR, LPSECURITY_ATTRIBUTES);
  // Null where the system lacks the function.
  BOOL(WINAPI* GetDiskFreeSpaceExA)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
  BOOL(WINAPI* GetDiskFreeSpaceA)(LPCSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD);
  // A volume without 8.3 names gives no short form.
  DWORD(WINAPI* GetShortPathNameW)(LPCWSTR, LPWSTR, DWORD);
  // LZ32, loaded from the system folder only; null when it cannot be loaded.
  INT(WINAPI* LZInit)(INT);
  LONG(WINAPI* LZCopy)(INT, INT);
  void(WINAPI* LZClose)(INT);
  // Wine lets every program make folders in the machine's temporary folders.
  HANDLE(WINAPI* CreateFileA)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
  // Wine lacks POSIX deletion (FileDispositionInfoEx): a test sees what is
  // asked for, or refuses a read-only folder as Windows does.
  BOOL(WINAPI* SetFileInformationByHandle)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
  // The purge's worst moments for a swap, which a test fills: right after a
  // folder's listing, and between the decision on a file and its deletion.
  // Null in the shipped table.
  void (*PurgeListed)(HANDLE folder);
  void (*PurgeDeciding)(HANDLE folder);
  // Null before Windows 8; Wine's returns TRUE and changes nothing.
  BOOL(WINAPI* SetProcessMitigationPolicy)(PROCESS_MITIGATION_POLICY, PVOID, SIZE_T);
  // The worst moment for a swap in the JAWS configuration copy, which a test fills: a
  // language folder (its path given) checked, and its copy not yet made. Null in the shipped table.
  void (*JawsFolderChecked)(const char* folder);
};

SysTable& Sys();
