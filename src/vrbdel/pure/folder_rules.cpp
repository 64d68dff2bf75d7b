#include "folder_rules.h"

#include <algorithm>

namespace {

std::string WithoutTrailingBackslashes(std::string path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

bool IsRootDirectory(const std::string& directory) {
  const std::string path = WithoutTrailingBackslashes(directory);
  if (path.size() == 2 && path[1] == ':') return true;
  if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
    // \\server\share: exactly one backslash after the server name.
    return std::count(path.begin() + 2, path.end(), '\\') == 1 && path.back() != '\\';
  }
  return false;
}

bool SameDirectory(const std::string& a, const std::string& b) {
  const std::string left = WithoutTrailingBackslashes(a);
  return !left.empty() && left == WithoutTrailingBackslashes(b);
}
