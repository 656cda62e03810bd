// The common section of a device family: the keys GetCommonINIvalues,
// GetTestRegEntry and GetUnregisterData read.
#pragma once

#include "ini_access.h"

namespace vtlint {

struct FamilyFacts {
  bool has_pnp = false;  // at least one PnP ID to expand the tags of its lists
};

FamilyFacts LintCommonSection(IniAccess& access, const sim::ProfileSection& section);

}  // namespace vtlint
