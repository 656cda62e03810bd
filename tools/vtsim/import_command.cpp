// vtsim import: makes an image from a regedit export and a dir listing.
#include <iostream>

#include "tools/vtsim/commands.h"
#include "tools/vtsim/import_image.h"

namespace vtsim {

int ImportCommand(const ImportOptions& options) {
  ImportSummary summary;
  std::string error;
  if (!ImportImage(options, &summary, &error)) {
    std::cerr << "vtsim: " << error << "\n";
    return kExitUsage;
  }
  std::cout << options.output << ": " << summary.keys << " keys, " << summary.folders
            << " folders, " << summary.files << " files" << std::endl;
  return 0;
}

}  // namespace vtsim
