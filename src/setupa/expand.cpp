#include "expand.h"

#include <windows.h>
#include "sys_table.h"
#include "wrappers.h"

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

bool ExpandCompressedFile(const std::string& source, const std::string& destination) {
  bool result = false;
  OFSTRUCT scratch{};
  std::string sourcePath = source, destinationPath = destination;  // the API takes non-const
  const SysTable& lz = Sys();
  INT in = lz.LZOpenFileA ? lz.LZOpenFileA(&sourcePath[0], &scratch, OF_READ | OF_SHARE_DENY_WRITE)
                          : -1;  // 0x0020
  if (in < 0) {
    ShowBox("Error opening source file " + Quoted(source), "CopyFile");
    return false;
  }
  INT out = lz.LZOpenFileA(&destinationPath[0], &scratch,
                        OF_CREATE | OF_WRITE | OF_SHARE_EXCLUSIVE);  // 0x1011
  if (out < 0) {
    ShowBox("Error opening destination file " + Quoted(destination), "CopyFile");
    lz.LZClose(in);
    return false;
  }
  if (lz.LZCopy(in, out) >= 0) result = true;
  if (!result) ShowBox("Error copying file " + Quoted(source) + " to " + Quoted(destination), "CopyFile");
  lz.LZClose(out);
  lz.LZClose(in);
  return result;
}
