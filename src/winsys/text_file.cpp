#include "text_file.h"

#include <windows.h>

#include "handles.h"
#include "sys_table.h"
#include "text.h"

void WriteTextLines(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) RaiseFailure(FailureKind::FCreateError, "Cannot create file " + path);
  DWORD written = 0;
  if (!text.empty() &&
      (!Sys().WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written,
                        nullptr) ||
       written != text.size()))
    RaiseFailure(FailureKind::WriteError, "Stream write error");
}

std::vector<std::string> ReadTextLines(const std::string& path) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) RaiseFailure(FailureKind::FOpenError, "Cannot open file " + path);
  std::string text;
  char block[4096];
  DWORD got = 0;
  while (ReadFile(file.get(), block, sizeof block, &got, nullptr) && got > 0) text.append(block, got);
  return SplitLines(text);
}
