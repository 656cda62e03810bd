// The preview of a scrub, told to a person (grouped text) or to a tool (one
// JSON object; schema in docs/preview.md).
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "tools/vtsim/preview_changes.h"
#include "tools/vtsim/preview_journal.h"

namespace vtsim {

struct PreviewReport {
  std::string image;
  int exit_code = 0;  // the program's, as `vtsim run` would end
  PreviewChanges changes;
  std::vector<std::string> refused;
  JournalPreview journal;
};

void WritePreviewText(const PreviewReport& report, std::ostream& out);
nlohmann::ordered_json PreviewJson(const PreviewReport& report);

}  // namespace vtsim
