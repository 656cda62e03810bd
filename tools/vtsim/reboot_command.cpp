// vtsim reboot: the next start of Windows on the PC of an image.
#include <exception>
#include <iostream>

#include "sim/image.h"
#include "sim/image_stage.h"
#include "sim/reboot.h"
#include "tools/vtsim/commands.h"
#include "tools/vtsim/image_args.h"
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
  return ParseImageArgs(args, {{"--output", "a folder name", &options->output}}, {},
                        &options->image, &options->help, problem);
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
