// The arguments of `vtsim run`.
#pragma once

#include <string>
#include <vector>

namespace vtsim {

struct RunOptions {
  std::string image;
  std::string script;      // "" : a person answers at the terminal
  std::string transcript;  // "" : standard output
  std::string output;      // "" : the run changes `image` in place
  bool help = false;
};

// Reads the arguments after "run"; false with a message when they are wrong.
bool ParseRunOptions(const std::vector<std::string>& args, RunOptions* options,
                     std::string* problem);

}  // namespace vtsim
