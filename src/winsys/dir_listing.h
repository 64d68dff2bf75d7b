// Lists every entry of a directory search (hidden, system, directories,
// "." and ".." alike), long names in the file system's order.
#pragma once
#include <windows.h>

#include <string>

class DirListing {
 public:
  explicit DirListing(const std::string& pattern);
  ~DirListing() {
    if (h_ != INVALID_HANDLE_VALUE) FindClose(h_);
  }
  DirListing(const DirListing&) = delete;
  DirListing& operator=(const DirListing&) = delete;

  // Moves to the next entry; false when there is none.
  bool Next();
  // The long name in the code page, a character it cannot spell read as "?":
  // what the name rules judge.
  const std::string& name() const { return name_; }
  // The name by which the A calls reach the entry: the long name, or its 8.3
  // alias where the code page cannot spell the long one; empty when neither.
  const std::string& reachable_name() const { return reachable_; }
  DWORD attributes() const { return data_.dwFileAttributes; }
  bool is_directory() const { return (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

 private:
  WIN32_FIND_DATAW data_{};
  HANDLE h_;
  bool fresh_;
  std::string name_, reachable_;
};
