// Well-known folders as normalized directories, and short lower-case paths.
#pragma once
#include <string>

// Short (8.3) form, lower-cased by the locale-aware rule; the path itself
// (lower-cased) when it cannot be shortened.
std::string ShortLowerPath(const std::string& path);

std::string WindowsFolder();   // reported as call 38 when empty
std::string TempFolder();      // reported as call 40 when empty
std::string DesktopFolder();   // shell folder "DeskTop", else WindowsFolder() + "Desktop\"
std::string ProgramsFolder();  // shell folder "Programs", else WindowsFolder() + "Start Menu\Programs\"
// All users' application data ("Common AppData", C:\ProgramData\ since Vista) as the
// system records it, ending in a backslash; empty when the system names none.
std::string CommonAppDataFolder();
