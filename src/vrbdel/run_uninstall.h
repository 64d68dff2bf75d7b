// Uninstall mode: confirm, unregister, purge, remove shortcuts and the uninstall key.
#pragma once
#include <string>

void RunUninstall(const std::string& programPath, const std::string& groupName,
                  const std::string& shortcutName);
