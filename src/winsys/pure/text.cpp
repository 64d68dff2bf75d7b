#include "text.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

bool leadBytes[256];

// Where the last character begins, or npos for an empty text.
std::size_t LastCharAt(const std::string& text) {
  std::size_t last = std::string::npos;
  for (std::size_t at = 0; at < text.size(); at = NextCharAt(text, at)) last = at;
  return last;
}

// Where the last backslash or colon begins, or npos.
std::size_t LastSeparatorAt(const std::string& path) {
  std::size_t last = std::string::npos;
  for (std::size_t at = 0; at < path.size(); at = NextCharAt(path, at))
    if (path[at] == '\\' || path[at] == ':') last = at;
  return last;
}

}  // namespace

void SetLeadBytes(const bool (&isLead)[256]) { std::copy(isLead, isLead + 256, leadBytes); }

bool IsLeadByte(char byte) { return leadBytes[static_cast<unsigned char>(byte)]; }

std::size_t NextCharAt(const std::string& text, std::size_t at) {
  return IsLeadByte(text[at]) && at + 1 < text.size() ? at + 2 : at + 1;
}

std::string LowerAZ(std::string text) {
  for (std::size_t at = 0; at < text.size(); at = NextCharAt(text, at))
    if (text[at] >= 'A' && text[at] <= 'Z') text[at] = static_cast<char>(text[at] - 'A' + 'a');
  return text;
}

std::string NormalizeDir(const std::string& path) {
  std::string result = LowerAZ(path);
  if (!result.empty() && !EndsWithBackslash(result)) result += '\\';
  return result;
}

std::size_t FindChars(const std::string& text, const char* part) {
  const std::size_t n = std::strlen(part);
  for (std::size_t at = 0; at < text.size(); at = NextCharAt(text, at))
    if (text.compare(at, n, part) == 0) return at;
  return std::string::npos;
}

bool EndsWithBackslash(const std::string& text) {
  std::size_t at = LastCharAt(text);
  return at != std::string::npos && at + 1 == text.size() && text[at] == '\\';
}

std::string ProgramWord(const std::string& path) {
  return path.find(' ') == std::string::npos ? path : '"' + path + '"';
}

bool StartsWith(const std::string& text, const char* prefix) {
  std::size_t n = std::strlen(prefix);
  return text.size() >= n && text.compare(0, n, prefix) == 0;
}

bool EndsWith(const std::string& text, const char* suffix) {
  std::size_t n = std::strlen(suffix);
  return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

bool Contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

namespace {

using Byte = unsigned char;

const Byte* SkipSeparators(const Byte* p) {
  for (;;) {
    while (*p != 0 && *p <= ' ') ++p;
    if (p[0] == '"' && p[1] == '"')
      p += 2;  // an empty quoted pair where a word would begin counts as a separator
    else
      return p;
  }
}

const Byte* TakeWord(const Byte* p, std::string* word) {
  while (*p > ' ') {
    if (*p == '"') {
      ++p;
      while (*p != 0 && *p != '"') {
        if (word && word->size() < kMaxWordLength) word->push_back(static_cast<char>(*p));
        ++p;
      }
      if (*p != 0) ++p;
    } else {
      if (word && word->size() < kMaxWordLength) word->push_back(static_cast<char>(*p));
      ++p;
    }
  }
  return p;
}

}  // namespace

std::string CommandLineWord(const char* commandLine, int index) {
  std::string word;
  if (commandLine == nullptr || index < 0) return word;
  const Byte* p = reinterpret_cast<const Byte*>(commandLine);
  for (int i = 0;; ++i) {
    p = SkipSeparators(p);
    if (*p == 0) return std::string();
    if (i == index) {
      TakeWord(p, &word);
      return word;
    }
    p = TakeWord(p, nullptr);
  }
}

std::string FileNamePart(const std::string& path) {
  std::size_t at = LastSeparatorAt(path);
  return at == std::string::npos ? path : path.substr(at + 1);
}

std::string DirectoryPart(const std::string& path) {
  std::size_t at = LastSeparatorAt(path);
  return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

bool IsUnspelledPath(const std::string& path) {
  const std::size_t at = FindChars(StartsWith(path, "\\\\?\\") ? path.substr(4) : path, "?");
  return at != std::string::npos;
}

bool IsUninstallerPath(const std::string& lowerPath) {
  return StartsWith(FileNamePart(lowerPath), "vrbdel");
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

