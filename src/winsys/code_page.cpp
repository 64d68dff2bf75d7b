#include "code_page.h"

#include <windows.h>

#include "sys_table.h"
#include "text.h"

void UseSystemCodePage() {
  bool isLead[256] = {};
  for (int lead = 0x80; lead < 256; ++lead) isLead[lead] = IsDBCSLeadByte(static_cast<BYTE>(lead)) != 0;
  SetLeadBytes(isLead);
}

bool ToCodePage(const wchar_t* wide, std::size_t length, std::string& text) {
  text.clear();
  if (length == 0) return true;
  const int count = static_cast<int>(length);
  // UTF-8 as the ANSI code page spells everything and takes neither the flag nor the question.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL lossy = FALSE;
  int n = WideCharToMultiByte(CP_ACP, flags, wide, count, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return false;
  text.resize(static_cast<std::size_t>(n));
  WideCharToMultiByte(CP_ACP, flags, wide, count, &text[0], n, nullptr, utf8 ? nullptr : &lossy);
  return !lossy;
}

bool ToCodePage(const wchar_t* wide, std::string& text) { return ToCodePage(wide, lstrlenW(wide), text); }

std::vector<wchar_t> FromCodePage(const std::string& text) {
  const int length = static_cast<int>(text.size());
  int n = text.empty() ? 0 : MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  std::vector<wchar_t> wide(static_cast<std::size_t>(n > 0 ? n : 0) + 1, L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), n);
  return wide;
}

std::string ReachablePath(const wchar_t* path) {
  std::string text;
  if (ToCodePage(path, text)) return text;
  std::vector<wchar_t> shortPath(MAX_PATH);
  DWORD n = Sys().GetShortPathNameW(path, shortPath.data(), MAX_PATH);
  if (n >= MAX_PATH) {
    shortPath.resize(n);
    n = Sys().GetShortPathNameW(path, shortPath.data(), n);
  }
  if (n > 0 && n < shortPath.size() && ToCodePage(shortPath.data(), n, text)) return text;
  return std::string();
}
