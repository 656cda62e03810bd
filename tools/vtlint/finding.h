// One finding of vtlint: where, which rule, what.
#pragma once

#include <string>
#include <vector>

namespace vtlint {

enum class Severity { kWarning, kError };

struct Finding {
  std::string file;  // as shown: the control file as given, a DAT list beside it
  int line = 0;      // 1-based
  std::string rule;  // "VT012"
  std::string message;
};

using Findings = std::vector<Finding>;

// A text from the input for a message: at most ~200 bytes, control bytes
// escaped (sim::Excerpt), backslashes left single so paths read as written.
std::string Quote(const std::string& text);

}  // namespace vtlint
