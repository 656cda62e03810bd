// vtsim import: a machine image from what a technician can take off a PC
// without running anything new on it — a regedit export, a `dir /s /a`
// listing of the system drive and the Windows version.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vtsim {

struct ImportOptions {
  std::string registry;  // the regedit /e export
  std::string listing;   // the dir /s /a listing
  std::string windows;   // 95, 98, me, nt4, 2000, xp
  char drive = 'C';
  std::string output;   // the image folder to make (absent or empty)
  std::string current;  // the program's folder ("" : the drive's root)
  bool sized = false;   // files as sparse placeholders of their listed size
  bool help = false;
};

// Reads the arguments after "import"; false with a message when they are wrong.
bool ParseImportOptions(const std::vector<std::string>& args, ImportOptions* options,
                        std::string* problem);

struct ImportSummary {
  size_t keys = 0;
  size_t folders = 0;
  size_t files = 0;
};

// Makes the image. On failure `error` names the input file and line
// ("EXPORT.reg:12: ...: \"excerpt\"") or the output; nothing is written when
// an input is bad.
bool ImportImage(const ImportOptions& options, ImportSummary* summary, std::string* error);

}  // namespace vtsim
