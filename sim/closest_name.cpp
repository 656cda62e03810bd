#include "sim/closest_name.h"

#include <algorithm>

namespace sim {

size_t EditDistance(const std::string& a, const std::string& b) {
  // The classic table, three rows at a time (two back for a swap).
  std::vector<size_t> before(b.size() + 1), previous(b.size() + 1), row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      row[j] = std::min(
          {previous[j] + 1, row[j - 1] + 1, previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        row[j] = std::min(row[j], before[j - 2] + 1);
    }
    before.swap(previous);
    previous.swap(row);
  }
  return previous[b.size()];
}

std::string ClosestName(const std::string& given, const std::vector<std::string>& known) {
  std::string best;
  size_t bestDistance = 0;
  for (const std::string& name : known) {
    const size_t d = EditDistance(given, name);
    if (best.empty() || d < bestDistance) {
      best = name;
      bestDistance = d;
    }
  }
  const size_t allowed = std::max<size_t>(1, std::max(given.size(), best.size()) / 3);
  return !best.empty() && bestDistance <= allowed ? best : std::string();
}

}  // namespace sim
