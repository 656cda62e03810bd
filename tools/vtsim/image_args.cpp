#include "tools/vtsim/image_args.h"

#include "sim/closest_name.h"

namespace vtsim {

bool ParseImageArgs(const std::vector<std::string>& args, const std::vector<ValueOption>& values,
                    const std::vector<FlagOption>& flags, std::string* image, bool* help,
                    std::string* problem) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      *help = true;
      continue;
    }
    bool known = false;
    for (const FlagOption& flag : flags) {
      if (arg == flag.name) {
        *flag.on = known = true;
        break;
      }
    }
    for (const ValueOption& option : values) {
      if (known || arg != option.name) continue;
      known = true;
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        *problem = arg + " needs " + option.needs;
        return false;
      }
      if (!option.value->empty()) {
        *problem = arg + " given twice";
        return false;
      }
      *option.value = args[++i];
    }
    if (known) continue;
    if (!arg.empty() && arg[0] == '-') {
      std::vector<std::string> names;
      for (const ValueOption& option : values) names.emplace_back(option.name);
      for (const FlagOption& flag : flags) names.emplace_back(flag.name);
      names.emplace_back("--help");
      const std::string close = sim::ClosestName(arg, names);
      *problem = "unknown option " + arg + (close.empty() ? "" : "; did you mean " + close + "?");
      return false;
    }
    if (!image->empty()) {
      *problem = "more than one image given: " + arg;
      return false;
    }
    *image = arg;
  }
  if (image->empty() && !*help) {
    *problem = "no image given";
    return false;
  }
  return true;
}

}  // namespace vtsim
