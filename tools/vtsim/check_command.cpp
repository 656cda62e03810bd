// vtsim check IMAGE...: each image loaded as `run` loads it, nothing written.
#include <iostream>

#include "sim/image.h"
#include "tools/vtsim/commands.h"

namespace vtsim {

bool LoadImageOrSay(const std::string& image, sim::Machine& machine) {
  std::string error;
  if (sim::LoadImage(image, machine, &error)) return true;
  // Name the image unless the message already starts with it.
  const bool named = error.compare(0, image.size(), image) == 0;
  std::cerr << "vtsim: " << (named ? "" : image + ": ") << error << "\n";
  return false;
}

int CheckCommand(const std::vector<std::string>& images) {
  int status = 0;
  for (const std::string& image : images) {
    sim::Machine machine;
    if (LoadImageOrSay(image, machine)) {
      std::cout << image << ": ok" << std::endl;
    } else {
      status = kExitUsage;
    }
  }
  return status;
}

}  // namespace vtsim
