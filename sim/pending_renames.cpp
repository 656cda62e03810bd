#include "sim/pending_renames.h"

#include <string>
#include <vector>

#include "sim/system_messages.h"

namespace sim {

namespace {

const char kSessionManager[] = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kValue[] = "PendingFileRenameOperations";

std::string StripNtPrefix(const std::string& path) {
  return path.compare(0, 4, "\\??\\") == 0 ? path.substr(4) : path;
}

std::string Outcome(DWORD error) {
  if (error == 0) return "done";
  std::string text = "failed: ";
  if (const char* message = SystemMessage(error)) {
    text += message;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  } else {
    text += "error " + std::to_string(error);
  }
  return text;
}

DWORD Remove(Machine& m, const std::string& path) {
  const PathLookup p = m.files.Lookup(path);
  const BOOL ok =
      p.exists && p.directory ? RemoveDirectoryA(path.c_str()) : DeleteFileA(path.c_str());
  return ok ? 0 : m.last_error;
}

// A move as the Session Manager makes it at boot: a rename on one drive,
// replacing the target only when the entry says so.
DWORD Move(Machine& m, const std::string& from, const std::string& to, bool replace) {
  return MoveFileExA(from.c_str(), to.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0)
             ? 0
             : m.last_error;
}

}  // namespace

size_t CarryOutPendingRenames(Machine& m, std::ostream& out) {
  RegKey* key = m.registry.Find(kSessionManager);
  const RegValue* value = key ? key->FindValue(kValue) : nullptr;
  if (!value) return 0;
  // The strings one after another, each ending in a zero; an empty source
  // ends the list (the closing zero of REG_MULTI_SZ).
  std::vector<std::string> strings;
  const std::string data(value->data());
  for (size_t i = 0; i < data.size();) {
    size_t end = data.find('\0', i);
    if (end == std::string::npos) end = data.size();
    strings.push_back(data.substr(i, end - i));
    i = end + 1;
  }
  size_t count = 0;
  for (size_t i = 0; i + 1 < strings.size() || (i < strings.size() && !strings[i].empty());
       i += 2) {
    const std::string from = StripNtPrefix(strings[i]);
    if (from.empty()) break;
    std::string to = i + 1 < strings.size() ? strings[i + 1] : "";
    ++count;
    if (to.empty()) {
      out << "[pending] delete " << AnsiToUtf8(from) << " -> " << Outcome(Remove(m, from)) << "\n";
      continue;
    }
    const bool replace = to[0] == '!';
    to = StripNtPrefix(replace ? to.substr(1) : to);
    out << "[pending] move " << AnsiToUtf8(from) << " to " << AnsiToUtf8(to)
        << (replace ? " (replacing)" : "") << " -> " << Outcome(Move(m, from, to, replace)) << "\n";
  }
  m.registry.DeleteValue(key, kValue);
  out << "[pending] " << kValue << " deleted\n";
  return count;
}

}  // namespace sim
