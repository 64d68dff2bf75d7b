// Lists every entry of a directory search (hidden, system, directories,
// "." and ".." alike), long names in the file system's order.
#pragma once
#include <windows.h>

#include <string>

class DirListing {
 public:
  explicit DirListing(const std::string& pattern)
      : h_(FindFirstFileA(pattern.c_str(), &data_)), fresh_(h_ != INVALID_HANDLE_VALUE) {}
  ~DirListing() {
    if (h_ != INVALID_HANDLE_VALUE) FindClose(h_);
  }
  DirListing(const DirListing&) = delete;
  DirListing& operator=(const DirListing&) = delete;

  bool started() const { return h_ != INVALID_HANDLE_VALUE; }
  // Moves to the next entry; false when there is none.
  bool Next() {
    if (h_ == INVALID_HANDLE_VALUE) return false;
    if (fresh_) {
      fresh_ = false;
      return true;
    }
    return FindNextFileA(h_, &data_) != 0;
  }
  const WIN32_FIND_DATAA& entry() const { return data_; }
  std::string name() const { return data_.cFileName; }
  bool is_directory() const { return (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

 private:
  WIN32_FIND_DATAA data_{};
  HANDLE h_;
  bool fresh_;
};
