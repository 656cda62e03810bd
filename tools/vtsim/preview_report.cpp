// Text and JSON forms of a preview.
#include "tools/vtsim/preview_report.h"

#include <set>

namespace vtsim {

namespace {

// Paths whose parent is in the list too are told with it: "(and N inside)".
// Folders end in "\"; keys do not (`folders` false).
std::vector<std::string> Collapsed(const std::vector<std::string>& paths, bool folders,
                                   const char* one, const char* many) {
  std::set<std::string> listed;
  for (const std::string& p : paths) listed.insert(UpperPath(folders ? p : p + "\\"));
  std::vector<std::string> lines;
  for (const std::string& p : paths) {
    const std::string upper = UpperPath(folders ? p : p + "\\");
    bool underListed = false;
    for (size_t cut = upper.find('\\'); cut != std::string::npos && cut + 1 < upper.size();
         cut = upper.find('\\', cut + 1)) {
      if (listed.count(upper.substr(0, cut + 1))) underListed = true;
    }
    if (underListed) continue;
    size_t below = 0;
    for (const std::string& other : listed)
      if (other.size() > upper.size() && other.compare(0, upper.size(), upper) == 0) ++below;
    lines.push_back(
        p +
        (below ? " (and " + std::to_string(below) + " " + (below == 1 ? one : many) + ")" : ""));
  }
  return lines;
}

void Group(std::ostream& out, const std::string& title, size_t count,
           const std::vector<std::string>& lines, const char* mark) {
  if (count == 0) {
    out << title << ": none\n";
    return;
  }
  out << title << " (" << count << "):\n";
  for (const std::string& line : lines) out << "  " << mark << " " << line << "\n";
}

void Group(std::ostream& out, const std::string& title, const std::vector<std::string>& items,
           const char* mark) {
  Group(out, title, items.size(), items, mark);
}

std::vector<std::string> ValueLines(const std::vector<RemovedValue>& values, const char* verb) {
  std::vector<std::string> lines;
  for (const RemovedValue& v : values)
    lines.push_back(v.key + " : " + v.name + " (" + verb + " " + v.data + ")");
  return lines;
}

nlohmann::ordered_json ValuesJson(const std::vector<RemovedValue>& values) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const RemovedValue& v : values)
    list.push_back({{"key", v.key}, {"name", v.name}, {"data", v.data}});
  return list;
}

}  // namespace

void WritePreviewText(const PreviewReport& report, std::ostream& out) {
  const PreviewChanges& c = report.changes;
  out << "Preview of a scrub of " << report.image << " (the program would end with exit "
      << report.exit_code << "; the image is untouched)\n\n";
  Group(out, "Registry keys removed", c.keys_removed.size(),
        Collapsed(c.keys_removed, false, "subkey", "subkeys"), "-");
  Group(out, "Registry values removed", ValueLines(c.values_removed, "was"), "-");
  std::vector<std::string> counters;
  for (const SharedCounter& s : c.shared_counters)
    counters.push_back(s.file + ": " + std::to_string(s.old_count) + " -> " +
                       std::to_string(s.new_count));
  Group(out, "Shared-DLL counters decremented", counters, "~");
  std::vector<std::string> changed;
  for (const ChangedValue& v : c.values_changed)
    changed.push_back(v.key + " : " + v.name + "  " + v.old_data + " -> " + v.new_data);
  Group(out, "Other registry values changed", changed, "~");
  out << "\n";
  Group(out, "Files and folders deleted now", c.deleted_now.size(),
        Collapsed(c.deleted_now, true, "item inside", "items inside"), "-");
  Group(out, "Deleted at the next start (done by the simulated restart)",
        c.deleted_at_restart.size(),
        Collapsed(c.deleted_at_restart, true, "item inside", "items inside"), "-");
  Group(out, "Named for the next start but still there after the restart", c.left_at_restart, "!");
  out << "\n";
  for (const MachineListChange& list : c.machine_lists) {
    std::string title = list.title;
    title[0] = static_cast<char>(title[0] - 'a' + 'A');
    Group(out, title + " removed", list.removed, "-");
  }
  Group(out, "OEM INF files removed", c.inf_files_removed, "-");
  out << "\n";
  Group(out, "Refused by the safety rules (from the run log)", report.refused, "!");
  std::vector<std::string> added = c.keys_added;
  for (const std::string& v : ValueLines(c.values_added, "=")) added.push_back(v);
  for (const std::string& f : c.files_added) added.push_back(f);
  Group(out, "Added by the run and kept after the restart", added, "+");
  out << "\n";
  WriteJournalText(report.journal, out);
}

nlohmann::ordered_json PreviewJson(const PreviewReport& report) {
  const PreviewChanges& c = report.changes;
  nlohmann::ordered_json j;
  j["image"] = report.image;
  j["exit_code"] = report.exit_code;
  nlohmann::ordered_json changed = nlohmann::ordered_json::array();
  for (const ChangedValue& v : c.values_changed)
    changed.push_back({{"key", v.key}, {"name", v.name}, {"old", v.old_data}, {"new", v.new_data}});
  nlohmann::ordered_json counters = nlohmann::ordered_json::array();
  for (const SharedCounter& s : c.shared_counters)
    counters.push_back({{"file", s.file}, {"old", s.old_count}, {"new", s.new_count}});
  j["registry"] = {{"keys_removed", c.keys_removed},
                   {"values_removed", ValuesJson(c.values_removed)},
                   {"shared_dll_counters", counters},
                   {"values_changed", changed}};
  j["files"] = {{"deleted_now", c.deleted_now},
                {"deleted_at_restart", c.deleted_at_restart},
                {"left_at_restart", c.left_at_restart}};
  for (const MachineListChange& list : c.machine_lists) j[list.field] = list.removed;
  j["oem_inf_files"] = c.inf_files_removed;
  j["refused"] = report.refused;
  j["added"] = {{"registry_keys", c.keys_added},
                {"registry_values", ValuesJson(c.values_added)},
                {"files", c.files_added}};
  j["journal"] = JournalJson(report.journal);
  return j;
}

}  // namespace vtsim
