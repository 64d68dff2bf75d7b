// The product's JAWS configuration file, copied into every JAWS settings
// folder that lacks a current copy: the Settings folder of an early JAWS
// registered for ".jcf", and every language folder of every version's settings
// shared by all users. Reports only through the startup log.
#pragma once
#include <string>

// sourceDir ends in a backslash and holds Vrb.Jcf. A registry value of a
// non-string type raises RegistryException to the caller, after the shared
// folders have been served.
void InstallJawsConfig(const std::string& sourceDir);

// True when HKEY_CLASSES_ROOT\.jcf opens for full access.
bool JawsConfigRegistered();
