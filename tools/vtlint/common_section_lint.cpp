#include "common_section_lint.h"

#include "config/ini_reader.h"
#include "list_lint.h"
#include "sim/text.h"

namespace vtlint {

namespace {
// The uninstall copies each list entry through a 128-character buffer.
constexpr size_t kListEntry = 127;

// The program switches the safety net on only for a value of exactly 1: "yes"
// or "on" would leave it off without a word. A missing key is plainly off.
void LintSwitch(IniAccess& a, const sim::ProfileSection& s, const char* key) {
  const sim::ProfileKey* k = sim::ProfileFile::FindKey(s, key);
  if (k == nullptr) return;
  const std::string value = sim::StripQuotes(k->value);
  if (value == "0" || value == "1") return;
  AddFinding(a.out, a.shown, k->line, "VT024",
             std::string(key) + "=" + Quote(value) +
                 ": only 1 switches it on; the program takes this value for off");
}
}  // namespace

FamilyFacts LintCommonSection(IniAccess& a, const sim::ProfileSection& s) {
  FamilyFacts facts;
  // GetCommonINIvalues and GetTestRegEntry: a failure is logged and passed over.
  a.Numbered(s, "SWverText", a.Count(s, "numSWvers", "VT005"), 0);
  a.Text(s, "OCRVal", 260, "VT005");
  a.Text(s, "TestKey", 260, "VT005");
  // GetUnregisterData: the first missing key ends the uninstall.
  a.Text(s, "DevIDname", 512, "VT004");
  a.Text(s, "DevIDfax", 512, "VT004");
  const CountValue pnpCount = a.Count(s, "numPnPIDs", "VT004");
  // A missing count already stops the uninstall: its tags need no word more.
  facts.has_pnp = !a.Numbered(s, "PnP", pnpCount, kListEntry).empty() || !pnpCount.found;
  a.CommaList(s, "KnownClasses", kListEntry, "VT004");
  a.CommaList(s, "Monitors", kListEntry, "VT004");
  a.CommaList(s, "Services", kListEntry, "VT004");
  a.Numbered(s, "MsiPack", a.Count(s, "NumMSIs", "VT004"), kListEntry);
  a.Numbered(s, "MagicKey", a.Count(s, "numMagicKeys", "VT004"), kListEntry);
  LintSwitch(a, s, kRestorePointKey);
  LintSwitch(a, s, kUndoJournalKey);
  return facts;
}

}  // namespace vtlint
