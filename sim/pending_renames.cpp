#include "sim/pending_renames.h"

#include <cerrno>
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

// A move within one drive; the file keeps its read-only flag. Folders are
// not moved (what the program defers are files).
DWORD Move(Machine& m, const std::string& from, const std::string& to, bool replace) {
  const PathLookup src = m.files.Lookup(from);
  if (src.error) return src.error;
  if (!src.exists) return src.parent_exists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
  if (src.directory) return ERROR_ACCESS_DENIED;
  PathLookup dst = m.files.Lookup(to);
  if (dst.error) return dst.error;
  if (!dst.parent_exists) return ERROR_PATH_NOT_FOUND;
  if (FoldUpper(static_cast<unsigned char>(src.full[0])) !=
      FoldUpper(static_cast<unsigned char>(dst.full[0])))
    return 17;  // ERROR_NOT_SAME_DEVICE
  if (dst.exists && EqualNoCase(dst.full, src.full)) return 0;
  if (dst.exists) {
    if (!replace) return ERROR_ALREADY_EXISTS;
    if (dst.directory) return ERROR_ACCESS_DENIED;
    if (!DeleteFileA(to.c_str())) return m.last_error;
    dst = m.files.Lookup(to);
  }
  const HostFiles host = m.files.Host();
  std::string content;
  if (!host.ReadAll(src.host, &content)) return HostError(errno);
  const HostFile out = host.Open(dst.host, true, true, true);
  if (!out.ok() || !out.WriteAt(0, content.data(), content.size())) return ERROR_ACCESS_DENIED;
  if (!host.RemoveFile(src.host)) return HostError(errno);
  const bool readOnly = m.files.Flags(src.full).read_only;
  m.files.Forget(src.full);
  dst = m.files.Lookup(to);
  m.files.NoteCreated(dst.full);
  if (readOnly) m.files.SetReadOnly(dst.full, true);
  return 0;
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
