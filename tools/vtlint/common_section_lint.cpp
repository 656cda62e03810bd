#include "common_section_lint.h"

namespace vtlint {

namespace {
// The uninstall copies each list entry through a 128-character buffer.
constexpr size_t kListEntry = 127;
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
  return facts;
}

}  // namespace vtlint
