#include "run_setup.h"

void RunSetup(const std::string&, const std::string&) {}
