// Selecting, ordering and printing the findings.
#pragma once

#include <ostream>

#include "finding.h"
#include "options.h"

namespace vtlint {

// The findings of the selected rules, sorted by file, line and rule, each once.
Findings Selected(const Findings& all, const Options& options);
// "file:line: error VT012: message" lines.
void Print(const Findings& findings, std::ostream& out);
// 1 when a finding of error severity (or with --Werror any) remains, else 0.
int ExitStatus(const Findings& findings, const Options& options);
void PrintRules(std::ostream& out);

}  // namespace vtlint
