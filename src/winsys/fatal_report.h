// The report for a failure that nothing caught; the program then ends with exit code 1.
#pragma once
#include <string>

#include "failure.h"

void ReportFatalError(const Failure& failure, const std::string& programPath);
