// The numbered rules of vtlint: id, severity and a one-line summary. Each is
// documented with an example in docs/vtlint.md.
#pragma once

#include <string>
#include <vector>

#include "finding.h"

namespace vtlint {

struct Rule {
  const char* id;
  Severity severity;
  const char* summary;
};

const std::vector<Rule>& AllRules();
// The rule of that id ("VT012", case ignored), or nullptr.
const Rule* FindRule(const std::string& id);

}  // namespace vtlint
