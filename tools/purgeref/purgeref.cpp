// The least work a selective uninstall can do, to measure the purge against:
// purgeref <folder> <list>. The list names (relative, one a line) every file
// to delete and every folder to empty and remove, so no rule is worked out
// here: the tree is enumerated and exactly those entries are deleted by path,
// read-only lifted just before only where it is set. Prints the seconds
// taken and the peak working set.
#include <windows.h>

#include <cstdio>
#include <string>
#include <unordered_set>
#include <vector>

#include "timed_run.h"

namespace {

std::unordered_set<std::string> doomed;

struct Entry {
  std::string name;
  DWORD attributes;
};

// Read-only is the one attribute that stops a deletion on Windows.
void LiftReadOnly(const std::string& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_READONLY)
    SetFileAttributesA(path.c_str(), attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
}

void Purge(const std::string& folder, const std::string& relative) {
  std::vector<Entry> files, folders;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == ".." || !doomed.count(relative + name)) continue;
      (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? folders : files).push_back({name, entry.dwFileAttributes});
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  for (const Entry& file : files) {
    const std::string path = folder + "\\" + file.name;
    LiftReadOnly(path, file.attributes);
    DeleteFileA(path.c_str());
  }
  for (const Entry& sub : folders) {
    const std::string path = folder + "\\" + sub.name;
    Purge(path, relative + sub.name + "\\");
    LiftReadOnly(path, sub.attributes);
    RemoveDirectoryA(path.c_str());
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
