#include "resources/string_table.h"

#include <unordered_map>

namespace {
struct Entry {
  unsigned id;
  const char* text;
};
constexpr Entry kStrings[] = {
#define CVS_STRING(id, name, text) {id, text},
#include "resources/strings.h"
#undef CVS_STRING
};
}  // namespace

const char* LoadStr(unsigned id) {
  // Made once: a run looks a text up for nearly every line it logs. The
  // first entry of an id wins, as in the table's order.
  static const std::unordered_map<unsigned, const char*> index = [] {
    std::unordered_map<unsigned, const char*> byId;
    for (const Entry& e : kStrings) byId.emplace(e.id, e.text);
    return byId;
  }();
  const auto found = index.find(id);
  return found == index.end() ? "" : found->second;
}
