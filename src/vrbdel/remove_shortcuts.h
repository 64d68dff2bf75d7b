// Removes the product's desktop shortcut, its Start-menu shortcut and the
// program group. Never stops the uninstall: a failure ends in one notice.
#pragma once
#include <string>

// groupName: folder under the Start-menu Programs folder; shortcutName: the
// shortcut's file name without ".Lnk". An empty name names nothing.
void RemoveShortcuts(const std::string& groupName, const std::string& shortcutName);
