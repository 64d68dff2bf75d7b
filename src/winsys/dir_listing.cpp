#include "dir_listing.h"

#include "code_page.h"

// Listed through the W calls: the A calls hand over a name the code page
// cannot spell with "?" in it, which then names no entry at all.
DirListing::DirListing(const std::string& pattern)
    : h_(FindFirstFileW(FromCodePage(pattern).data(), &data_)), fresh_(h_ != INVALID_HANDLE_VALUE) {}

bool DirListing::Next() {
  if (h_ == INVALID_HANDLE_VALUE) return false;
  if (fresh_) {
    fresh_ = false;
  } else if (!FindNextFileW(h_, &data_)) {
    return false;
  }
  if (ToCodePage(data_.cFileName, name_)) {
    reachable_ = name_;
  } else if (!data_.cAlternateFileName[0] || !ToCodePage(data_.cAlternateFileName, reachable_)) {
    reachable_.clear();
  }
  return true;
}
