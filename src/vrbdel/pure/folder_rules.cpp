#include "folder_rules.h"

#include "text.h"

namespace {

std::string WithoutTrailingBackslashes(std::string path) {
  while (EndsWithBackslash(path)) path.pop_back();
  return path;
}

std::string WithTrailingBackslash(const std::string& path) {
  return WithoutTrailingBackslashes(path) + '\\';
}

}  // namespace

bool IsRootDirectory(const std::string& directory) {
  const std::string path = WithoutTrailingBackslashes(directory);
  if (path.size() == 2 && path[1] == ':') return true;
  if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
    // \\server\share: exactly one backslash after the server name.
    int backslashes = 0;
    for (std::size_t at = 2; at < path.size(); at = NextCharAt(path, at))
      if (path[at] == '\\') ++backslashes;
    return backslashes == 1 && !EndsWithBackslash(path);
  }
  return false;
}

bool IsSameOrAncestor(const std::string& directory, const std::string& folder) {
  if (WithoutTrailingBackslashes(directory).empty() || WithoutTrailingBackslashes(folder).empty())
    return false;
  // Ending at a backslash, so c:\app is no ancestor of c:\apps; the prefix
  // ends on a character boundary of `folder` because the bytes before it are
  // the same in both.
  return StartsWith(WithTrailingBackslash(folder), WithTrailingBackslash(directory).c_str());
}
