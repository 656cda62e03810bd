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

// The arguments of `vtsim restore IMAGE [--journal PATH] [--output DIR]`.
struct RestoreOptions {
  std::string image;
  std::string journal;  // a Windows path; "" : the newest journal beside the run log
  std::string output;   // "" : the restore changes `image` in place
  bool help = false;
};
bool ParseRestoreOptions(const std::vector<std::string>& args, RestoreOptions* options,
                         std::string* problem);
int RestoreCommand(const RestoreOptions& options);
int ImportCommand(const ImportOptions& options);

// The arguments of `vtsim preview IMAGE [--script FILE] [--json]`.
struct PreviewOptions {
  std::string image;
  std::string script;  // "" : the default answers (Uninstall the preselected device)
  bool json = false;
  bool journal = false;  // the undo journal switched on in the throw-away copy
  bool help = false;
};
bool ParsePreviewOptions(const std::vector<std::string>& args, PreviewOptions* options,
                         std::string* problem);
int PreviewCommand(const PreviewOptions& options);

}  // namespace vtsim
