// Runs the registered conformance cases and prints counts per family.
#pragma once

namespace conformance {

struct Host {
  // Called around every case: the simulated PC makes a fresh machine here.
  void (*before_case)() = nullptr;
  void (*after_case)() = nullptr;
};

// Runs every case whose family or "family.name" starts with `filter` (all
// when empty); `label` names the run in the summary ("sim xp", "wine 98").
// Returns the process exit status: 0 when no case failed.
int RunCases(const char* label, const char* filter, const Host& host);

// Prints every call (the part of a case name before its first underscore)
// with its family and number of cases, as a Markdown table.
void PrintCalls();

}  // namespace conformance
