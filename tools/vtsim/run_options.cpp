#include "tools/vtsim/run_options.h"

#include "sim/closest_name.h"

namespace vtsim {

bool ParseRunOptions(const std::vector<std::string>& args, RunOptions* options,
                     std::string* problem) {
  const std::vector<std::string> known = {"--script", "--transcript", "--output", "--help"};
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options->help = true;
    } else if (arg == "--script" || arg == "--transcript" || arg == "--output") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        *problem = arg + (arg == "--output" ? " needs a folder name" : " needs a file name");
        return false;
      }
      std::string& target = arg == "--script"       ? options->script
                            : arg == "--transcript" ? options->transcript
                                                    : options->output;
      if (!target.empty()) {
        *problem = arg + " given twice";
        return false;
      }
      target = args[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      const std::string close = sim::ClosestName(arg, known);
      *problem = "unknown option " + arg + (close.empty() ? "" : "; did you mean " + close + "?");
      return false;
    } else if (options->image.empty()) {
      options->image = arg;
    } else {
      *problem = "more than one image given: " + arg;
      return false;
    }
  }
  if (options->image.empty() && !options->help) {
    *problem = "no image given";
    return false;
  }
  return true;
}

}  // namespace vtsim
