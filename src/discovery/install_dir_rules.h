// How a directory read from the registry becomes the install directory.
#pragma once

#include <string>

// Cuts the value before the model's display name (found without case), and
// one backslash before it; a value without the name is kept.
std::string InstallDirNameCut(const std::string& value, const char* displayName);
// Strips an "\AIO\..." tail, or a final "\SHARED\BIN\" or "\BIN\".
std::string InstallDirSuffixRules(const std::string& value, int nDeviceModel);

// The install directory as the list readers get it: one trailing backslash
// dropped, upper-cased, and a final "\AIO\SHARED\BIN", "\SHARED\BIN" or
// "\BIN" cut. An empty directory stays empty.
std::string HandOverInstallDir(const std::string& dir);
// The common programs directory without a final "\Startup" (exact case).
std::string WithoutStartup(const std::string& dir);
