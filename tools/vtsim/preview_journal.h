// The undo journal in a preview: switching it on in the throw-away copy, and
// reading back what the run put into it.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "tools/vtsim/preview_snapshot.h"

namespace vtsim {

struct JournalPreview {
  std::string folder;                       // Windows path; "" when the run made none
  std::vector<std::string> registry;        // Undo.reg's keys, "KEY (N values)"
  std::vector<std::string> files;           // Files.txt's paths, "PATH (attributes)"
  std::vector<std::string> folders;         // Folders.txt
  std::vector<std::string> not_restorable;  // Removed.txt, "kind name"
};

// Sets UndoJournal=1 in every common section of the control file(s) of the
// image at `copy` (never the image itself: call it on a copy). False with
// the problem when the image holds no control file with a common section.
bool SwitchJournalOn(const std::string& copy, std::string* problem);

// The journal folder the run added (the first VtUndo.NNN new in `afterRun`)
// and what its lists hold, read from the host files of `copy`.
JournalPreview ReadJournalPreview(const std::string& copy, const ImageSnapshot& before,
                                  const ImageSnapshot& afterRun);

void WriteJournalText(const JournalPreview& journal, std::ostream& out);
nlohmann::ordered_json JournalJson(const JournalPreview& journal);

}  // namespace vtsim
