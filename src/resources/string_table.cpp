#include "resources/string_table.h"

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
  for (const Entry& e : kStrings) {
    if (e.id == id) return e.text;
  }
  return "";
}
