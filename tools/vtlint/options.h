// vtlint's command line.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace vtlint {

struct Options {
  std::string control_file;
  std::set<std::string> enabled;   // empty: every rule
  std::set<std::string> disabled;  // taken out after --enable
  std::vector<int> versions;       // Windows version codes looked up
  bool list_rules = false;
  bool werror = false;
  bool help = false;
};

// False with *error set for a usage error.
bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error);

extern const char kUsage[];

}  // namespace vtlint
