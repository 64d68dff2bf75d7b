// Owners that close what they hold on every path out, raised failures included.
#pragma once
#include <windows.h>

class FileHandle {
 public:
  explicit FileHandle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return h_; }
  void reset(HANDLE h) { Close(); h_ = h; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  void Close() {
    if (valid()) CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE h_;
};

class RegKey {
 public:
  RegKey() = default;
  ~RegKey() { Close(); }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  HKEY* receive() { Close(); return &h_; }
  HKEY get() const { return h_; }
  bool valid() const { return h_ != nullptr; }
  void Close() {
    if (h_) RegCloseKey(h_);
    h_ = nullptr;
  }

 private:
  HKEY h_ = nullptr;
};
