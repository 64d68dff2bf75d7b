#include "expand.h"

#include <windows.h>

#include "sys_table.h"
#include "wrappers.h"

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// LZ32 takes file handles as 32-bit numbers; 64-bit Windows keeps kernel handles
// within 32 bits (sign-extended), so the x64 build loses nothing here.
INT AsLzFile(HANDLE file) { return static_cast<INT>(reinterpret_cast<INT_PTR>(file)); }

}  // namespace

void ReportDestinationError(const std::string& destination) {
  ShowBox("Error opening destination file " + Quoted(destination), "CopyFile");
}

bool ExpandCompressedFile(const std::string& source, const std::string& destination) {
  const SysTable& lz = Sys();
  // Opened here rather than by LZOpenFileA, whose record holds no path of 128
  // characters or more: a download folder a few levels deep reaches that.
  HANDLE sourceFile = lz.LZInit ? CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                                : INVALID_HANDLE_VALUE;
  INT in = sourceFile == INVALID_HANDLE_VALUE ? -1 : lz.LZInit(AsLzFile(sourceFile));
  if (in < 0) {
    if (sourceFile != INVALID_HANDLE_VALUE) CloseHandle(sourceFile);
    ShowBox("Error opening source file " + Quoted(source), "CopyFile");
    return false;
  }
  // From here LZClose closes what LZInit was given. A name that exists, a link among them, is never written through.
  HANDLE destinationFile = CreateFileA(destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
  if (destinationFile == INVALID_HANDLE_VALUE) {
    ReportDestinationError(destination);
    lz.LZClose(in);
    return false;
  }
  INT out = AsLzFile(destinationFile);
  bool result = lz.LZCopy(in, out) >= 0;
  if (!result) ShowBox("Error copying file " + Quoted(source) + " to " + Quoted(destination), "CopyFile");
  lz.LZClose(out);
  lz.LZClose(in);
  return result;
}
