// Raised failures and the text of the fatal-error report.
// No <windows.h> here: built natively for fuzzing as well.
#pragma once
#include <string>

enum class FailureKind {
  InOutError,
  RegistryException,
  FCreateError,
  FOpenError,
  WriteError,
  ConvertError,
  RangeError,
  OutOfMemory,
};

struct Failure {
  FailureKind kind;
  std::string message;
  const void* where;  // code position reported to the user
};

const char* FailureKindName(FailureKind kind);

// Raises a Failure whose position is the caller's return address.
[[noreturn]] void RaiseFailure(FailureKind kind, const std::string& message);
[[noreturn]] void RaiseInOutError(unsigned long code);

// "File not found", "I/O error 145", ... by system error code.
std::string InOutErrorMessage(unsigned long code);

// "Exception %s in module %s at %p.\n<message>" with the full-stop rule
// and the 1024-character cut.
std::string FatalErrorText(const Failure& failure, const std::string& moduleName);
