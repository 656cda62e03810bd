// The arguments of `vtsim import`.
#include <utility>

#include "sim/closest_name.h"
#include "tools/vtsim/import_image.h"

namespace vtsim {

bool ParseImportOptions(const std::vector<std::string>& args, ImportOptions* options,
                        std::string* problem) {
  std::string drive;
  const std::pair<const char*, std::string*> valued[] = {
      {"--registry", &options->registry}, {"--listing", &options->listing},
      {"--windows", &options->windows},   {"--drive", &drive},
      {"--output", &options->output},     {"--current", &options->current}};
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options->help = true;
      continue;
    }
    if (arg == "--sized") {
      options->sized = true;
      continue;
    }
    std::string* target = nullptr;
    for (const auto& [name, field] : valued)
      if (arg == name) target = field;
    if (!target) {
      const std::string close =
          sim::ClosestName(arg, {"--registry", "--listing", "--windows", "--drive", "--output",
                                 "--current", "--sized", "--help"});
      *problem = (arg.empty() || arg[0] != '-' ? "unexpected argument " : "unknown option ") + arg +
                 (close.empty() ? "" : "; did you mean " + close + "?");
      return false;
    }
    if (i + 1 >= args.size() || args[i + 1].empty()) {
      *problem = arg + " needs a value";
      return false;
    }
    if (!target->empty()) {
      *problem = arg + " given twice";
      return false;
    }
    *target = args[++i];
  }
  if (options->help) return true;
  if (!drive.empty()) {
    const char c = drive[0];
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) ||
        !(drive.size() == 1 || (drive.size() == 2 && drive[1] == ':'))) {
      *problem = "--drive " + drive + ": expected a drive letter such as C";
      return false;
    }
    options->drive = static_cast<char>(c & ~0x20);
  }
  for (const auto& [name, field] :
       {std::pair<const char*, std::string*>{"--registry", &options->registry},
        {"--listing", &options->listing},
        {"--windows", &options->windows},
        {"--output", &options->output}}) {
    if (field->empty()) {
      *problem = std::string(name) + " is required";
      return false;
    }
  }
  return true;
}

}  // namespace vtsim
