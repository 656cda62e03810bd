#include "tools/vtsim/preview_journal.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "config/ini_reader.h"
#include "journal/undo_journal.h"
#include "resources/string_table.h"
#include "sim/text.h"

namespace fs = std::filesystem;

namespace vtsim {

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

std::string AttributeNames(unsigned long a) {
  std::string names;
  const std::pair<unsigned long, const char*> kNames[] = {{FILE_ATTRIBUTE_READONLY, "read-only"},
                                                          {FILE_ATTRIBUTE_HIDDEN, "hidden"},
                                                          {FILE_ATTRIBUTE_SYSTEM, "system"},
                                                          {FILE_ATTRIBUTE_ARCHIVE, "archive"}};
  for (const auto& [bit, name] : kNames)
    if (a & bit) names += std::string(names.empty() ? "" : ", ") + name;
  return names.empty() ? "normal" : names;
}

}  // namespace

bool SwitchJournalOn(const std::string& copy, std::string* problem) {
  const std::string iniName = UpperPath(LoadStr(IDS_INI_FILE_NAME));
  bool switched = false;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(fs::path(copy) / "drives", ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file(ec) || UpperPath(it->path().filename().string()) != iniName) continue;
    const std::string text = ReadHostFile(it->path().string());
    std::string out;
    bool any = false;
    for (size_t pos = 0; pos < text.size();) {
      const size_t nl = text.find('\n', pos);
      const size_t next = nl == std::string::npos ? text.size() : nl + 1;
      std::string line = text.substr(pos, next - pos);
      pos = next;
      out += line;
      const bool ended = !line.empty() && line.back() == '\n';
      if (ended) line.pop_back();
      const bool cr = !line.empty() && line.back() == '\r';
      if (cr) line.pop_back();
      const std::string upper = UpperPath(line);
      if (upper.empty() || upper[0] != '[' || upper.find("-- COMMON]") == std::string::npos)
        continue;
      const std::string eol = cr || !ended ? "\r\n" : "\n";
      if (!ended) out += eol;
      out += std::string(kUndoJournalKey) + "=1" + eol;
      any = true;
    }
    if (!any) continue;
    // A new file renamed over the old: the copy's file is never written through.
    const fs::path tmp = it->path().string() + ".vtsim-preview";
    {
      std::ofstream o(tmp, std::ios::binary);
      o << out;
      if (!o) {
        *problem = "cannot write " + tmp.string();
        return false;
      }
    }
    fs::rename(tmp, it->path(), ec);
    if (ec) {
      *problem = "cannot replace " + it->path().string() + ": " + ec.message();
      return false;
    }
    switched = true;
  }
  if (!switched)
    *problem = "the image holds no control file (" + std::string(LoadStr(IDS_INI_FILE_NAME)) +
               ") with a common section to switch the undo journal on in";
  return switched;
}

JournalPreview ReadJournalPreview(const std::string& copy, const ImageSnapshot& before,
                                  const ImageSnapshot& afterRun) {
  JournalPreview j;
  const std::string mark = "\\" + UpperPath(kJournalFolderBase);
  for (const auto& [upper, path] : afterRun.files) {
    if (before.files.count(upper)) continue;
    const size_t at = upper.find(mark);
    if (at == std::string::npos) continue;
    const size_t end = upper.find('\\', at + 1);
    const std::string folder = path.substr(0, end == std::string::npos ? path.size() : end);
    if (j.folder.empty() || folder < j.folder) j.folder = folder;
  }
  if (j.folder.empty()) return j;
  while (!j.folder.empty() && j.folder.back() == '\\') j.folder.pop_back();
  const fs::path host = HostPath(copy, j.folder);
  std::string key;
  size_t values = 0;
  auto flush = [&] {
    if (!key.empty())
      j.registry.push_back(key + " (" + std::to_string(values) +
                           (values == 1 ? " value)" : " values)"));
    key.clear();
    values = 0;
  };
  for (const std::string& line : Lines(ReadHostFile((host / kJournalRegFile).string()))) {
    if (line[0] == '[' && line.back() == ']') {
      flush();
      key = sim::AnsiToUtf8(line.substr(1, line.size() - 2));
    } else if (!key.empty() && (line[0] == '"' || line[0] == '@')) {
      ++values;
    }
  }
  flush();
  for (const std::string& line : Lines(ReadHostFile((host / kJournalFilesList).string()))) {
    const size_t tab1 = line.find('\t');
    const size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string::npos) continue;
    const unsigned long a = std::strtoul(line.substr(0, tab1).c_str(), nullptr, 16);
    j.files.push_back(sim::AnsiToUtf8(line.substr(tab2 + 1)) + " (" + AttributeNames(a) + ")");
  }
  for (const std::string& line : Lines(ReadHostFile((host / kJournalFoldersList).string())))
    j.folders.push_back(sim::AnsiToUtf8(line));
  for (std::string line : Lines(ReadHostFile((host / kJournalRemovedList).string()))) {
    const size_t tab = line.find('\t');
    if (tab != std::string::npos) line[tab] = ' ';
    j.not_restorable.push_back(sim::AnsiToUtf8(line));
  }
  return j;
}

void WriteJournalText(const JournalPreview& journal, std::ostream& out) {
  if (journal.folder.empty()) {
    out << "Undo journal: none (UndoJournal=1 in the control file's common section, or "
           "vtsim preview --journal, shows what it would hold)\n";
    return;
  }
  out << "Undo journal " << journal.folder << " would hold:\n";
  const std::pair<const char*, const std::vector<std::string>*> groups[] = {
      {"registry keys backed up (Undo.reg)", &journal.registry},
      {"files copied (Files.txt)", &journal.files},
      {"folders to make again (Folders.txt)", &journal.folders},
      {"removed, and no script can put back (Removed.txt)", &journal.not_restorable}};
  for (const auto& [title, items] : groups) {
    if (items->empty()) {
      out << "  " << title << ": none\n";
      continue;
    }
    out << "  " << title << " (" << items->size() << "):\n";
    for (const std::string& item : *items) out << "    " << item << "\n";
  }
}

nlohmann::ordered_json JournalJson(const JournalPreview& journal) {
  if (journal.folder.empty()) return nullptr;
  return {{"folder", journal.folder},
          {"registry", journal.registry},
          {"files", journal.files},
          {"folders", journal.folders},
          {"not_restorable", journal.not_restorable}};
}

}  // namespace vtsim
