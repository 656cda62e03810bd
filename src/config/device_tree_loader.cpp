// The device tree from the control file's section headers.
#include "config/ini_reader.h"
#include "log/error_reports.h"
#include "platform/ansi_text.h"
#include "platform/crt_file.h"
#include "resources/string_table.h"

namespace {

const char kWhiteSpace[] = " \t\r\n\v\f";

std::string Trimmed(const std::string& line) {
  const size_t first = line.find_first_not_of(kWhiteSpace);
  if (first == std::string::npos) return std::string();
  const size_t last = line.find_last_not_of(kWhiteSpace);
  return line.substr(first, last - first + 1);
}

// Text of line from begin up to (not including) end; empty when end <= begin.
std::string Piece(const std::string& line, size_t begin, size_t end) {
  if (end <= begin || begin >= line.size()) return std::string();
  return line.substr(begin, end - begin);
}

bool SameNoCase(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

}  // namespace

bool CGetDataFromINI::LoadDeviceTree(const std::string& iniName, IDeviceTreeSink& tree) {
  if (CurrentDirectory().empty()) return false;

  CCrtFile file;
  if (!file.OpenRead(iniName, FILE_SHARE_READ | FILE_SHARE_WRITE)) {
    ShowSystemError(LoadStr(IDS_MESSAGE_CAPTION), file.LastError(), iniName);
    return false;
  }

  std::string lastStandAlone;
  std::string lastGroup;
  std::string lastMember;
  bool haveStandAlone = false;
  bool haveGroup = false;
  TreeItem currentGroup = 0;
  std::string raw;
  while (file.ReadWholeLine(raw)) {
    const std::string line = Trimmed(raw);
    if (line.empty() || line[0] != '[') continue;
    const size_t dashes = line.find("--");
    if (dashes == std::string::npos) continue;
    if (UpperText(line).find("-- COMMON") != std::string::npos) continue;

    // The header reads "[name -- suffix]": one blank stands before "--".
    const size_t nameEnd = dashes > 0 ? dashes - 1 : 0;
    const size_t comma = line.find(',');
    if (comma == std::string::npos || comma > dashes) {
      const std::string name = Piece(line, 1, nameEnd);
      if (!haveStandAlone || !SameNoCase(name, lastStandAlone)) {
        tree.AddTreeEntry(name, 0);
      }
      lastStandAlone = name;
      haveStandAlone = true;
      haveGroup = false;  // the next grouped header starts a new group
      continue;
    }

    const std::string group = Piece(line, 1, comma);
    const std::string member = Piece(line, comma + 2, nameEnd);
    if (!haveGroup || !SameNoCase(group, lastGroup)) {
      currentGroup = tree.AddTreeEntry(group, 0);
      tree.AddTreeEntry(member, currentGroup);
    } else if (!SameNoCase(member, lastMember)) {
      tree.AddTreeEntry(member, currentGroup);
    }
    lastGroup = group;
    lastMember = member;
    haveGroup = true;
  }
  file.Close();
  return true;
}
