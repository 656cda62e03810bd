// The commands of vtsim; each returns the process exit status.
#pragma once

#include <string>
#include <vector>

#include "sim/machine.h"
#include "tools/vtsim/import_image.h"
#include "tools/vtsim/run_options.h"

namespace vtsim {

constexpr int kExitUsage = 2;   // vtsim's own errors
constexpr int kExitScript = 3;  // the script could not answer a window

// Loads `image` into `machine` as every command does; false with one line on
// standard error naming the image.
bool LoadImageOrSay(const std::string& image, sim::Machine& machine);

int RunCommand(const RunOptions& options);

// The arguments of `vtsim reboot IMAGE [--output DIR]`.
struct RebootOptions {
  std::string image;
  std::string output;  // "" : the restart changes `image` in place
  bool help = false;
};
bool ParseRebootOptions(const std::vector<std::string>& args, RebootOptions* options,
                        std::string* problem);
int RebootCommand(const RebootOptions& options);
int CheckCommand(const std::vector<std::string>& images);
int ImportCommand(const ImportOptions& options);

}  // namespace vtsim
