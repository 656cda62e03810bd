// What the program's safety rules refused in one run, as its run log tells:
// unsafe paths (a drive root, the Windows or system folder, a path cut at its
// buffer), bad or cut registry list lines, unknown hive codes, Plug-and-Play
// tags right under a root, keys Windows would not open for deletion, and
// files not scheduled for deletion at the restart.
#pragma once

#include <string>
#include <vector>

namespace vtsim {

// The refusals a run added to its run log (8-bit text), one item each, its
// continuation lines joined with blanks, in UTF-8. `before` is the log the
// image held: a run that got as far as its main window starts the log anew,
// an earlier one appends to it.
std::vector<std::string> RefusalsAddedToRunLog(const std::string& before, const std::string& after);

}  // namespace vtsim
