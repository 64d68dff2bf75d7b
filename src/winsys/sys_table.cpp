#include "sys_table.h"

namespace {

using DiskFreeExFn = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

// Looked up at run time: very old systems do not export it.
DiskFreeExFn FindDiskFreeSpaceEx() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (!kernel) return nullptr;
  return reinterpret_cast<DiskFreeExFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "GetDiskFreeSpaceExA")));
}

}  // namespace

SysTable& Sys() {
  static SysTable table = {
      ::MessageBoxA, ::WinExec,          ::CreateProcessA,   ::ReadFile,
      ::WriteFile,   FindDiskFreeSpaceEx(), ::GetDiskFreeSpaceA,
  };
  return table;
}
