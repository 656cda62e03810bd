// What the program's safety rules refused in one run, as its run log tells:
// unsafe paths (a drive root, the Windows or system folder, a path cut at its
// buffer), bad or cut registry list lines, unknown hive codes, Plug-and-Play
// tags right under a root, keys Windows would not open for deletion, and
// files not scheduled for deletion at the restart.
#pragma once

#include <string>
#include <vector>

namespace vtsim {

// The refusals in `log` (the run log's 8-bit text) after its first
// `alreadyThere` bytes (what an earlier run had written), one item each,
// its continuation lines joined with blanks, in UTF-8.
std::vector<std::string> RefusalsInRunLog(const std::string& log, size_t alreadyThere);

}  // namespace vtsim
