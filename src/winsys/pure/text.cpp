#include "text.h"

#include <cstring>
#include <vector>

std::string LowerAZ(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::string NormalizeDir(const std::string& path) {
  std::string result = LowerAZ(path);
  if (!result.empty() && result.back() != '\\') result += '\\';
  return result;
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
  std::size_t at = path.find_last_of("\\:");
  return at == std::string::npos ? path : path.substr(at + 1);
}

std::string DirectoryPart(const std::string& path) {
  std::size_t at = path.find_last_of("\\:");
  return at == std::string::npos ? std::string() : path.substr(0, at + 1);
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

