// vtsim: runs the program on the simulated PC of a machine image.
//   vtsim run IMAGE [--script FILE] [--transcript FILE] [--output DIR]
//   vtsim reboot IMAGE [--output DIR]
//   vtsim restore IMAGE [--journal PATH] [--output DIR]
//   vtsim check IMAGE...
//   vtsim import --registry EXPORT.reg --listing DIR.txt --windows VERSION --output IMAGE
//   vtsim preview IMAGE [--script FILE] [--json]
#include <iostream>
#include <string>
#include <vector>

#include "sim/closest_name.h"
#include "tools/vtsim/commands.h"
#include "tools/vtsim/help_text.h"
#include "tools/vtsim/run_options.h"

namespace {

int Usage(const std::string& problem) {
  std::cerr << "vtsim: " << problem << " (" << vtsim::ShortUsage() << ")\n";
  return vtsim::kExitUsage;
}

bool WantsHelp(const std::vector<std::string>& args) {
  for (const std::string& a : args)
    if (a == "--help" || a == "-h") return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage("no command given");
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << vtsim::GeneralHelp();
    return 0;
  }
  if (command == "run") {
    vtsim::RunOptions options;
    std::string problem;
    if (!vtsim::ParseRunOptions(args, &options, &problem)) return Usage(problem);
    if (options.help) {
      std::cout << vtsim::RunHelp();
      return 0;
    }
    return vtsim::RunCommand(options);
  }
  if (command == "reboot") {
    vtsim::RebootOptions options;
    std::string problem;
    if (!vtsim::ParseRebootOptions(args, &options, &problem)) return Usage(problem);
    if (options.help) {
      std::cout << vtsim::RebootHelp();
      return 0;
    }
    return vtsim::RebootCommand(options);
  }
  if (command == "restore") {
    vtsim::RestoreOptions options;
    std::string problem;
    if (!vtsim::ParseRestoreOptions(args, &options, &problem)) return Usage(problem);
    if (options.help) {
      std::cout << vtsim::RestoreHelp();
      return 0;
    }
    return vtsim::RestoreCommand(options);
  }
  if (command == "check") {
    if (WantsHelp(args)) {
      std::cout << vtsim::CheckHelp();
      return 0;
    }
    for (const std::string& a : args)
      if (!a.empty() && a[0] == '-') return Usage("unknown option " + a);
    if (args.empty()) return Usage("no image given");
    return vtsim::CheckCommand(args);
  }
  if (command == "import") {
    vtsim::ImportOptions options;
    std::string problem;
    if (!vtsim::ParseImportOptions(args, &options, &problem)) return Usage(problem);
    if (options.help) {
      std::cout << vtsim::ImportHelp();
      return 0;
    }
    return vtsim::ImportCommand(options);
  }
  if (command == "preview") {
    vtsim::PreviewOptions options;
    std::string problem;
    if (!vtsim::ParsePreviewOptions(args, &options, &problem)) return Usage(problem);
    if (options.help) {
      std::cout << vtsim::PreviewHelp();
      return 0;
    }
    return vtsim::PreviewCommand(options);
  }
  const std::string close = sim::ClosestName(
      command, {"run", "reboot", "restore", "check", "import", "preview", "--help"});
  return Usage("unknown command " + command +
               (close.empty() ? "" : "; did you mean " + close + "?"));
}
