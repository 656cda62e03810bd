#include "sim/faults.h"

#include <algorithm>

#include "sim/registry.h"
#include "sim/text.h"

namespace sim {

namespace {
bool SubjectMatches(const std::string& wanted, const std::string& given) {
  return wanted.empty() || EqualNoCase(wanted, given);
}

// A key path in the form the registry calls name their keys: the hive's code
// ("HKLM", "HKU" …, also for "HKEY_LOCAL_MACHINE" or "HKUS") and no trailing
// backslash, so a fault written either way matches.
std::string KeyForm(const std::string& path) {
  HKEY hive = nullptr;
  std::string subkey;
  if (path.empty() || !Registry::SplitPath(path, &hive, &subkey)) return path;
  while (!subkey.empty() && subkey.back() == '\\') subkey.pop_back();
  std::string out = Registry::HiveCode(hive);
  if (!subkey.empty()) out += "\\" + subkey;
  return out;
}
}  // namespace

DWORD Faults::Check(const char* call, const std::string& path, const std::string& key,
                    const std::string& name) {
  if (!enabled || !call) return 0;
  CallSeen& c = seen[call];
  if (c.count++ == 0) {
    c.first_path = path;
    c.first_key = key;
    c.first_name = name;
  }
  const std::vector<std::string> subject = {path, key, name};
  if (c.distinct.size() < 6 &&
      std::find(c.distinct.begin(), c.distinct.end(), subject) == c.distinct.end())
    c.distinct.push_back(subject);
  c.last_path = path;
  c.last_key = key;
  c.last_name = name;
  for (Fault& f : list) {
    if (f.times == 0 || f.call != call) continue;
    if (!SubjectMatches(f.path, path) || !SubjectMatches(KeyForm(f.key), key) ||
        !SubjectMatches(f.name, name))
      continue;
    if (f.times > 0) --f.times;
    return f.error;
  }
  return 0;
}

}  // namespace sim
