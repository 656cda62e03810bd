// drives/ of the image: every folder and file of the fixed drives, with the
// contents only of the files the program reads; the others are empty
// stand-ins, their sizes and attributes in the listing beside them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/vtcapture/progress.h"

namespace vtcapture {

struct FilesPlan {
  std::string out_dir;            // OUTDIR\drives
  std::vector<char> letters;      // drives to walk, upper case
  std::vector<std::string> skip;  // folders and files left out (OUTDIR, the capture program)
  // Files whose contents are kept: those below these folders (the program's
  // control data; only those directly in a drive's root when the folder is
  // one), and the information files (*.INF) below the INF folders.
  std::vector<std::string> content_folders;
  std::vector<std::string> inf_folders;
};

struct FilesCaptureResult {
  unsigned long folders = 0;
  unsigned long files = 0;
  unsigned long with_contents = 0;
  unsigned long failures = 0;                                    // could not be written
  std::vector<std::string> read_only;                            // full paths
  std::vector<std::string> in_use;                               // held open by another program
  std::vector<std::pair<std::string, std::string>> short_names;  // full path, 8.3 name
  std::string listing;  // "ATTRIBUTES SIZE PATH" lines, CR LF
};

FilesCaptureResult CaptureFiles(const FilesPlan& plan, Progress& progress);

}  // namespace vtcapture
