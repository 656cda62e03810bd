#include "faults/cell_checks.h"

std::vector<std::string> CellProblems(const CellResult& r) {
  std::vector<std::string> problems;
  if (r.crashed) problems.push_back("crash: " + r.crash);
  if (!r.internal.empty()) problems.push_back("simulation: " + r.internal);
  if (r.outside_changed) problems.push_back("a host file outside the image changed");
  for (const std::string& v : r.oracle) problems.push_back("oracle: " + v);
  return problems;
}
