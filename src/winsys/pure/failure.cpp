#include "failure.h"

#include <cstdint>

const char* FailureKindName(FailureKind kind) {
  switch (kind) {
    case FailureKind::InOutError: return "EInOutError";
    case FailureKind::RegistryException: return "ERegistryException";
    case FailureKind::FCreateError: return "EFCreateError";
    case FailureKind::FOpenError: return "EFOpenError";
    case FailureKind::WriteError: return "EWriteError";
    case FailureKind::ConvertError: return "EConvertError";
    case FailureKind::RangeError: return "ERangeError";
    case FailureKind::OutOfMemory: return "EOutOfMemory";
  }
  return "Exception";
}

// noinline so that the return address names the code that raised.
__attribute__((noinline)) void RaiseFailure(FailureKind kind, const std::string& message) {
  throw Failure{kind, message, __builtin_return_address(0)};
}

__attribute__((noinline)) void RaiseInOutError(unsigned long code) {
  throw Failure{FailureKind::InOutError, InOutErrorMessage(code), __builtin_return_address(0)};
}

std::string InOutErrorMessage(unsigned long code) {
  switch (code) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 100: return "Read beyond end of file";
    case 101: return "Disk full";
    case 106: return "Invalid numeric input";
  }
  return "I/O error " + std::to_string(code);
}

std::string FatalErrorText(const Failure& failure, const std::string& moduleName) {
  // %p: eight upper-case hexadecimal digits (no printf: it would double the program's size).
  char where[9];
  std::uint32_t position = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(failure.where));
  for (int i = 7; i >= 0; --i, position >>= 4) where[i] = "0123456789ABCDEF"[position & 0xF];
  where[8] = '\0';
  std::string message = failure.message;
  if (!message.empty() && message.back() != '.') message += '.';
  std::string text = std::string("Exception ") + FailureKindName(failure.kind) + " in module " +
                     moduleName + " at " + where + ".\n" + message;
  if (text.size() > 1024) text.resize(1024);
  return text;
}
