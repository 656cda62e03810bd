// Suggestions for a misspelt name: "adminstrator: did you mean administrator?"
#pragma once

#include <string>
#include <vector>

namespace sim {

// The number of single-byte insertions, deletions, replacements and swaps of
// neighbours that turn `a` into `b` (case counts).
size_t EditDistance(const std::string& a, const std::string& b);

// The name of `known` closest to `given`, or "" when none is close enough to
// be a likely typing slip (at most a third of the name differs, at least 1).
std::string ClosestName(const std::string& given, const std::vector<std::string>& known);

}  // namespace sim
