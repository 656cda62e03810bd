// vtlint's whole check: the control file and every DAT list it names.
#pragma once

#include <string>
#include <vector>

#include "file_source.h"
#include "finding.h"

namespace vtlint {

// The Windows version codes whose sections the program looks up (0 Windows
// 95 ... 5 XP): all six unless the check is narrowed to one.
std::vector<int> AllVersionCodes();

// Lints the control file `bytes` (shown as `shown`) and the DAT lists it
// names, which `files` finds; findings in no particular order.
Findings LintControlData(const std::string& shown, const std::string& bytes, FileSource& files,
                         const std::vector<int>& versionCodes);

}  // namespace vtlint
