// vtsim reboot: the next start of Windows on the PC of an image.
#include <exception>
#include <iostream>

#include "sim/closest_name.h"
#include "sim/image.h"
#include "sim/image_stage.h"
#include "sim/reboot.h"
#include "tools/vtsim/commands.h"
#include "tools/vtsim/image_copy.h"

namespace vtsim {

namespace {

int Say(const std::string& message) {
  std::cerr << "vtsim: " << message << "\n";
  return kExitUsage;
}

}  // namespace

bool ParseRebootOptions(const std::vector<std::string>& args, RebootOptions* options,
                        std::string* problem) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options->help = true;
    } else if (arg == "--output") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        *problem = "--output needs a folder name";
        return false;
      }
      if (!options->output.empty()) {
        *problem = "--output given twice";
        return false;
      }
      options->output = args[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      const std::string close = sim::ClosestName(arg, {"--output", "--help"});
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

int RebootCommand(const RebootOptions& options) {
  sim::Machine machine;
  std::string error;
  if (options.output.empty()) {
    if (!LoadImageOrSay(options.image, machine)) return kExitUsage;
  } else {
    sim::Machine input;
    if (!LoadImageOrSay(options.image, input)) return kExitUsage;
    if (!CheckCopyTarget(options.image, options.output, &error)) return Say(error);
    if (!CopyImage(options.image, options.output, &error)) return Say(error);
    if (!LoadImageOrSay(options.output, machine)) return kExitUsage;
  }
  // The restart changes a working copy, switched in whole when it is saved.
  sim::ImageStage stage;
  const std::string& image = options.output.empty() ? options.image : options.output;
  if (!stage.Begin(image, machine, &error)) return Say(error);
  try {
    sim::Reboot(machine, std::cout);
  } catch (const std::exception& e) {
    // Keep the image consistent with the files already changed on disk.
    if (sim::SaveImage(machine, &error)) stage.Commit(&error);
    return Say(std::string("internal error: ") + e.what());
  }
  std::cout.flush();
  if (!sim::SaveImage(machine, &error) || !stage.Commit(&error)) return Say(error);
  return 0;
}

}  // namespace vtsim
