#include "sim/file_holders.h"

#include "sim/open_files.h"

namespace sim {

namespace {

bool Below(const std::string& path, const std::string& folderFull) {
  const std::string prefix = JoinPath(folderFull, "");
  return path.size() > prefix.size() && EqualNoCase(path.substr(0, prefix.size()), prefix);
}

// The open files of the process; none when the path has no open handle at
// all, which spares a walk over the handle table for most calls.
template <class Fn>
void ForEachOpenFile(Machine& m, const std::string& full, Fn fn) {
  if (!m.files.IsOpen(full)) return;
  for (const auto& h : m.handles.All())
    if (h.second->Kind() == HandleKind::File) fn(static_cast<const OpenFile&>(*h.second));
}

}  // namespace

bool ItemHeld(Machine& m, const std::string& full) {
  if (m.files.Flags(full).in_use || EqualNoCase(m.files.current_dir, full)) return true;
  bool held = false;
  ForEachOpenFile(m, full, [&](const OpenFile& o) {
    if (EqualNoCase(o.full, full) && (o.read || o.write) && !(o.share & FILE_SHARE_DELETE))
      held = true;
  });
  return held;
}

bool SomethingBelowHeld(Machine& m, const std::string& folderFull) {
  if (Below(m.files.current_dir, folderFull)) return true;
  return m.files.InUseBelow(folderFull) || m.files.OpenBelow(folderFull);
}

bool ItemOpen(Machine& m, const std::string& full) {
  bool open = false;
  ForEachOpenFile(m, full, [&](const OpenFile& o) {
    if (EqualNoCase(o.full, full)) open = true;
  });
  return open;
}

}  // namespace sim
