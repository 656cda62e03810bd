#include "sim/faults.h"

#include "sim/text.h"

namespace sim {

namespace {
bool SubjectMatches(const std::string& wanted, const std::string& given) {
  return wanted.empty() || EqualNoCase(wanted, given);
}
}  // namespace

DWORD Faults::Check(const char* call, const std::string& path, const std::string& key,
                    const std::string& name) {
  if (!enabled || !call) return 0;
  for (Fault& f : list) {
    if (f.times == 0 || f.call != call) continue;
    if (!SubjectMatches(f.path, path) || !SubjectMatches(f.key, key) ||
        !SubjectMatches(f.name, name))
      continue;
    if (f.times > 0) --f.times;
    return f.error;
  }
  return 0;
}

}  // namespace sim
