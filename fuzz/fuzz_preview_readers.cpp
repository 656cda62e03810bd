// Bytes as the two texts vtsim preview reads: the steps of a simulated restart
// (what it was asked to delete) and a run log (what the safety rules refused).
// The first byte splits the input between an old and a new run log.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/vtsim/preview_changes.h"
#include "tools/vtsim/preview_refusals.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const std::string& target : vtsim::RestartTargets(text)) {
    // Only full paths without wildcards are checked after the restart.
    if (target.size() < 3 || target[1] != ':' || target[2] != '\\' ||
        target.find_first_of("*?") != std::string::npos)
      std::abort();
  }
  const size_t cut = size ? data[0] % (size + 1) : 0;
  const std::string before = text.substr(0, cut), after = text.substr(cut);
  for (const std::string& refusal : vtsim::RefusalsAddedToRunLog(before, after)) {
    if (refusal.empty() || refusal.find('\n') != std::string::npos) std::abort();
  }
  // What is already in the log is never a refusal of this run.
  if (!vtsim::RefusalsAddedToRunLog(after, after).empty()) std::abort();
  vtsim::IsOemInfPath(text);
  return 0;
}
