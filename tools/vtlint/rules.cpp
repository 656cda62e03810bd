#include "rules.h"

#include "sim/text.h"

namespace vtlint {

const std::vector<Rule>& AllRules() {
  static const std::vector<Rule> kRules = {
      {"VT001", Severity::kError, "the first line carries no version word or not version 2.03"},
      {"VT002", Severity::kError, "a device has no section for a Windows version"},
      {"VT003", Severity::kError, "a device family has no common section"},
      {"VT004", Severity::kError, "a key whose absence stops the uninstall is missing"},
      {"VT005", Severity::kWarning, "a key whose absence the program passes over is missing"},
      {"VT006", Severity::kError, "a count is larger than the numbered keys present"},
      {"VT007", Severity::kWarning,
       "a numbered key is never read (count too small, or a "
       "leading zero)"},
      {"VT008", Severity::kWarning, "a count is not a plain decimal number"},
      {"VT009", Severity::kError, "a value is longer than the reader's buffer and is cut"},
      {"VT010", Severity::kError, "a DAT line is longer than 258 characters and is split"},
      {"VT011", Severity::kError, "a registry entry has an unknown hive code or no separator"},
      {"VT012", Severity::kError, "a pair is cut off: its first entry is the last of the list"},
      {"VT013", Severity::kWarning, "the second entry of a pair reads like a registry entry"},
      {"VT014", Severity::kError, "a variable-key pair has no \"=\" or no data"},
      {"VT015", Severity::kWarning, "a counter pair's key path lacks its trailing backslash"},
      {"VT016", Severity::kError, "an entry removes a hive root or a top-level key"},
      {"VT017", Severity::kError, "a sweep of a drive root, the Windows or the system directory"},
      {"VT018", Severity::kError, "a directory prefix the registry list cannot expand"},
      {"VT019", Severity::kError, "a DAT list the control file names is missing"},
      {"VT020", Severity::kWarning, "a duplicate section, key or list entry"},
      {"VT021", Severity::kError, "a Plug-and-Play tag that cannot be expanded"},
      {"VT022", Severity::kWarning, "a registry entry of 5 characters or fewer (a bad line)"},
      {"VT023", Severity::kWarning,
       "a sweep of a whole desktop, programs-menu or temporary "
       "directory"},
      {"VT024", Severity::kWarning, "an opt-in switch holds a value other than 0 or 1"},
  };
  return kRules;
}

const Rule* FindRule(const std::string& id) {
  for (const Rule& r : AllRules())
    if (sim::EqualNoCase(r.id, id)) return &r;
  return nullptr;
}

}  // namespace vtlint
