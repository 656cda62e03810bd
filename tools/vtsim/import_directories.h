// The folders of an imported PC: where Windows keeps them in its registry,
// else where each version puts them by default.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "sim/registry.h"

namespace vtsim {

// True for "95", "98", "me" (any case): the 9x family.
bool IsNineX(const std::string& windows);

// machine.json's "directories" (UTF-8): windows, system, temp, program_files
// and the special folders the registry's Shell Folders name. `drive` is the
// system drive, `current` the program's folder ("" : the drive's root).
nlohmann::ordered_json ImportDirectories(const sim::Registry& registry, const std::string& windows,
                                         char drive, const std::string& current);

// A registry string with its terminating zero (and anything after it) cut;
// "" when the value is missing or no string.
std::string RegistryText(const sim::Registry& registry, const std::string& key,
                         const std::string& name);

}  // namespace vtsim
