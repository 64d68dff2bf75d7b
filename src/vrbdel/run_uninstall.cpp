#include "run_uninstall.h"

void RunUninstall(const std::string&, const std::string&, const std::string&) {}
