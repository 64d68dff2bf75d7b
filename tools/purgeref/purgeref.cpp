// The least work a selective uninstall can do, to measure the purge against:
// purgeref <folder> <list>. The list names (relative, one a line) every file
// to delete and every folder to empty and remove, so no rule is worked out
// here: the tree is enumerated, and exactly those entries get their
// attributes reset and are deleted. Prints the seconds taken and the peak
// working set.
#include <windows.h>

#include <cstdio>
#include <string>
#include <unordered_set>
#include <vector>

#include "timed_run.h"

namespace {

std::unordered_set<std::string> doomed;

void Purge(const std::string& folder, const std::string& relative) {
  std::vector<std::string> files, folders;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == ".." || !doomed.count(relative + name)) continue;
      const std::string path = folder + "\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_DIRECTORY);
        folders.push_back(name);
      } else {
        SetFileAttributesA(path.c_str(), 0);
        files.push_back(name);
      }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  for (const std::string& name : files) DeleteFileA((folder + "\\" + name).c_str());
  for (const std::string& name : folders) {
    Purge(folder + "\\" + name, relative + name + "\\");
    RemoveDirectoryA((folder + "\\" + name).c_str());
  }
}

bool ReadList(const char* path) {
  FILE* list = std::fopen(path, "rb");
  if (!list) return false;
  char line[1024];
  while (std::fgets(line, sizeof line, list)) {
    std::string name = line;
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
    if (!name.empty()) doomed.insert(name);
  }
  std::fclose(list);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || !ReadList(argv[2])) {
    std::fputs("usage: purgeref <folder> <list>\n", stderr);
    return 2;
  }
  TimeAndReport([&] { Purge(argv[1], ""); });
  return 0;
}
