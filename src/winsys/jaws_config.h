// The product's JAWS configuration file, copied into every JAWS settings
// folder that lacks a current copy. Reports only through the startup log.
#pragma once
#include <string>

// sourceDir ends in a backslash and holds Vrb.Jcf. A registry value of a
// non-string type raises RegistryException to the caller.
void InstallJawsConfig(const std::string& sourceDir);

// True when HKEY_CLASSES_ROOT\.jcf opens for full access.
bool JawsConfigRegistered();
