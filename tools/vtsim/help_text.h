// What `vtsim --help` and `vtsim run|reboot|check --help` print.
#pragma once

#include <string>

namespace vtsim {

std::string GeneralHelp();
std::string RunHelp();
std::string RebootHelp();
std::string CheckHelp();
std::string ImportHelp();
std::string PreviewHelp();
std::string RestoreHelp();
// One line for error messages: "usage: vtsim run IMAGE ... | vtsim check IMAGE..."
std::string ShortUsage();

}  // namespace vtsim
