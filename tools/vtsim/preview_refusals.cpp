// Refusals from the run log: the one thing a preview reads from the log, as
// a refusal leaves no trace in the image.
#include "tools/vtsim/preview_refusals.h"

#include <sstream>

#include "sim/text.h"

namespace vtsim {

namespace {

// How each refusal's entry starts.
const char* const kRefusalStarts[] = {
    ">>> Skipped unsafe path",
    ">>> Bad line from registry DAT file",
    "Data error: unrecognized abbreviation for Registry hive",
    ">>> A Plug-and-Play string must not be the first key",
    ">>> (Internal error) A string buffer is too small",
    ">>> Unable to get access rights from Windows to delete a secure registry key",
    ">>> Not scheduled for deletion on reboot",
    ">>> Not removed:",
    ">>> Unable to make an undo journal folder",
};

bool StartsRefusal(const std::string& line) {
  for (const char* start : kRefusalStarts)
    if (line.rfind(start, 0) == 0) return true;
  return false;
}

std::string Tidy(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const size_t a = line.find_first_not_of(" \t");
  const size_t b = line.find_last_not_of(" \t");
  return a == std::string::npos ? "" : line.substr(a, b - a + 1);
}

}  // namespace

std::vector<std::string> RefusalsAddedToRunLog(const std::string& before,
                                               const std::string& after) {
  std::vector<std::string> refusals;
  const bool appended = after.compare(0, before.size(), before) == 0;
  std::istringstream lines(appended ? after.substr(before.size()) : after);
  std::string line;
  bool inEntry = false;
  while (std::getline(lines, line)) {
    const bool continuation = !line.empty() && line[0] == '\t';
    if (inEntry && continuation) {
      const std::string more = Tidy(line);
      if (!more.empty()) refusals.back() += " " + sim::AnsiToUtf8(more);
      continue;
    }
    inEntry = StartsRefusal(line);
    if (inEntry) refusals.push_back(sim::AnsiToUtf8(Tidy(line)));
  }
  return refusals;
}

}  // namespace vtsim
