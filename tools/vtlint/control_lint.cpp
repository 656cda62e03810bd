// The control file as the program reads it: the version line, the device
// names of the section headers, each device's Windows-version sections and
// its family's common section, and the DAT lists they name.
#include "control_lint.h"

#include <cctype>
#include <map>
#include <set>

#include "common_section_lint.h"
#include "config/ini_reader.h"
#include "config/version_word.h"
#include "dat_lines.h"
#include "ini_access.h"
#include "list_lint.h"
#include "sim/profile_file.h"
#include "sim/text.h"

namespace vtlint {

namespace {

const char* const kWindowsNames[] = {"Windows 95",   "Windows 98",   "Windows ME",
                                     "Windows NT 4", "Windows 2000", "Windows XP"};

struct Device {
  std::string name;
  int line;
};

// A DAT list as the control file names it, with what lints it.
struct DatUse {
  std::string name;  // as the key gives it (cut to the reader's buffer)
  int line = 0;      // the first key naming it
  int uses = 0;
  bool registry = false;
  bool files = false;
  std::string device_no_pnp;
};

void LintVersionLine(const std::string& shown, const std::string& bytes, Findings& out) {
  const std::string line = FirstTextLine(bytes);
  const int start = FindVersionWord(line);
  if (start < 0) {
    AddFinding(out, shown, 1, "VT001",
               "no version word (Version, Ver ...) on the first line: the program refuses the "
               "file");
    return;
  }
  const std::string version = ReadVersionNumber(line, start);
  if (!sim::EqualNoCase(version, "2.03"))
    AddFinding(out, shown, 1, "VT001",
               "the version read from the first line is '" + Quote(version) +
                   "', not 2.03: the program refuses the file");
}

void LintDuplicates(const std::string& shown, const sim::ProfileFile& ini, Findings& out) {
  std::map<std::string, int> sections;
  for (size_t i = 1; i < ini.sections.size(); ++i) {
    const sim::ProfileSection& s = ini.sections[i];
    const std::string name = sim::UpperCase(s.name);
    const auto it = sections.find(name);
    if (it != sections.end()) {
      AddFinding(out, shown, s.line, "VT020",
                 "section [" + Quote(s.name) + "] again (first on line " +
                     std::to_string(it->second) + "): Windows reads only the first");
      continue;  // its keys are never read
    }
    sections[name] = s.line;
    std::map<std::string, int> keys;
    for (const sim::ProfileKey& k : s.keys) {
      if (!k.has_value) continue;
      const std::string key = sim::UpperCase(k.name);
      const auto kt = keys.find(key);
      if (kt == keys.end()) {
        keys[key] = k.line;
      } else {
        AddFinding(out, shown, k.line, "VT020",
                   "key " + Quote(k.name) + " again (first on line " + std::to_string(kt->second) +
                       "): Windows reads only the first");
      }
    }
  }
}

// The devices of the device tree, as its loader reads the section headers:
// the name ends one character before the first "--", a grouped name is the
// group, ", " and the member from the second character after the comma.
std::vector<Device> DevicesOf(const sim::ProfileFile& ini) {
  std::vector<Device> devices;
  std::set<std::string> seen;
  for (size_t i = 1; i < ini.sections.size(); ++i) {
    const std::string& name = ini.sections[i].name;
    const size_t dashes = name.find("--");
    if (dashes == std::string::npos) continue;
    if (sim::UpperCase(name).find("-- COMMON") != std::string::npos) continue;
    const size_t end = dashes > 0 ? dashes - 1 : 0;
    const size_t comma = name.find(',');
    std::string device;
    if (comma == std::string::npos || comma > dashes) {
      device = name.substr(0, end);
    } else {
      const size_t member = comma + 2;
      device =
          name.substr(0, comma) + ", " + (end > member ? name.substr(member, end - member) : "");
    }
    if (seen.insert(sim::UpperCase(device)).second)
      devices.push_back(Device{device, ini.sections[i].line});
  }
  return devices;
}

void NoteDatUse(std::map<std::string, DatUse>& uses, const std::string& name, int line,
                bool registry, const std::string& deviceNoPnP) {
  DatUse& use = uses[sim::UpperCase(name)];
  if (use.uses++ == 0) {
    use.name = name;
    use.line = line;
  }
  (registry ? use.registry : use.files) = true;
  if (registry && use.device_no_pnp.empty()) use.device_no_pnp = deviceNoPnP;
}

void LintDatUse(const std::string& shown, const DatUse& use, FileSource& files, Findings& out) {
  std::string bytes;
  std::string listShown;
  if (!files.Read(use.name, &bytes, &listShown)) {
    std::string why = "'" + Quote(use.name) + "' is not beside the control file";
    if (UnusableRelativeName(use.name))
      why = "'" + Quote(use.name) +
            "' cannot be opened: the name is taken relative to the program's folder";
    AddFinding(out, shown, use.line, "VT019",
               why + (use.uses > 1 ? " (named " + std::to_string(use.uses) + " times)" : ""));
    return;
  }
  const std::vector<DatLine> lines = ReadDatLines(bytes);
  ListContext ctx{listShown, use.device_no_pnp};
  LintLineLengths(lines, ctx, out);
  if (use.registry) LintRegList(lines, ctx, out);
  if (use.files) LintFilesList(lines, ctx, out);
}

}  // namespace

std::vector<int> AllVersionCodes() { return {0, 1, 2, 3, 4, 5}; }

Findings LintControlData(const std::string& shown, const std::string& bytes, FileSource& files,
                         const std::vector<int>& versionCodes) {
  Findings out;
  LintVersionLine(shown, bytes, out);
  const sim::ProfileFile ini = sim::ProfileFile::Parse(bytes);
  LintDuplicates(shown, ini, out);
  IniAccess access{shown, ini, out};

  CGetDataFromINI reader;  // names the sections as the program does
  std::map<std::string, FamilyFacts> families;
  std::map<std::string, DatUse> uses;
  for (const Device& device : DevicesOf(ini)) {
    reader.SetCommonSection(device.name);
    const std::string common = reader.CommonSection();
    auto family = families.find(sim::UpperCase(common));
    if (family == families.end()) {
      FamilyFacts facts;
      const sim::ProfileSection* section = ini.FindSection(common);
      if (section == nullptr) {
        AddFinding(out, shown, device.line, "VT003",
                   "device '" + Quote(device.name) + "' has no section [" + Quote(common) +
                       "]: its uninstall stops");
        facts.has_pnp = true;  // nothing more to say about its tags
      } else {
        facts = LintCommonSection(access, *section);
      }
      family = families.emplace(sim::UpperCase(common), facts).first;
    }
    const std::string noPnP = family->second.has_pnp ? "" : device.name;

    for (int code : versionCodes) {
      const std::string name = reader.GetSectionName(device.name, code);
      const sim::ProfileSection* section = ini.FindSection(name);
      if (section == nullptr) {
        AddFinding(out, shown, device.line, "VT002",
                   "device '" + Quote(device.name) + "' has no section [" + Quote(name) +
                       "]: its uninstall on " + kWindowsNames[code] + " stops");
        continue;
      }
      for (const char* key : {"FilesPath", "RegPath"}) {
        TextValue v = access.Text(*section, key, 260, "VT004");
        if (v.found) NoteDatUse(uses, v.value, v.line, key[0] == 'R', noPnP);
      }
      access.Text(*section, "DefaultVTDir", 512, "VT005");
      access.Text(*section, "DefaultOCRDir", 512, "VT005");
    }
  }
  for (const auto& use : uses) LintDatUse(shown, use.second, files, out);
  return out;
}

}  // namespace vtlint
