// The arguments of a vtsim command that works on one image: the image, options
// that take a value, flags, and --help; one message for whatever is wrong.
#pragma once

#include <string>
#include <vector>

namespace vtsim {

struct ValueOption {
  const char* name;   // "--output"
  const char* needs;  // what the value is, for "--output needs a folder name"
  std::string* value;
};

struct FlagOption {
  const char* name;  // "--json"
  bool* on;
};

// False with the problem (as vtsim says it) when the arguments are wrong; an
// image is required unless --help was given.
bool ParseImageArgs(const std::vector<std::string>& args, const std::vector<ValueOption>& values,
                    const std::vector<FlagOption>& flags, std::string* image, bool* help,
                    std::string* problem);

}  // namespace vtsim
