#include "options.h"

#include "control_lint.h"
#include "rules.h"
#include "sim/text.h"

namespace vtlint {

const char kUsage[] =
    "usage: vtlint CONTROLFILE [--enable VTnnn,...] [--disable VTnnn,...]\n"
    "              [--windows 95|98|me|nt4|2000|xp] [--Werror]\n"
    "       vtlint --list-rules\n"
    "Checks a control file and the DAT lists beside it as the program reads them.\n"
    "Exit 0 clean (or warnings only), 1 errors found (or warnings with --Werror),\n"
    "2 usage or unreadable control file.\n";

namespace {

bool RuleList(const std::string& text, std::set<std::string>* into, std::string* error) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    const std::string id = text.substr(start, comma - start);
    const Rule* rule = FindRule(id);
    if (rule == nullptr) {
      *error = "unknown rule '" + Quote(id) + "' (see --list-rules)";
      return false;
    }
    into->insert(rule->id);
    start = comma + 1;
  }
  return true;
}

bool VersionCode(const std::string& text, int* code) {
  static const char* const kNames[] = {"95", "98", "me", "nt4", "2000", "xp"};
  for (int i = 0; i < 6; ++i) {
    if (sim::EqualNoCase(text, kNames[i])) {
      *code = i;
      return true;
    }
  }
  return false;
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options* o, std::string* error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool takesValue = a == "--enable" || a == "--disable" || a == "--windows";
    if (takesValue && i + 1 >= args.size()) {
      *error = a + " needs a value";
      return false;
    }
    if (a == "--enable") {
      if (!RuleList(args[++i], &o->enabled, error)) return false;
    } else if (a == "--disable") {
      if (!RuleList(args[++i], &o->disabled, error)) return false;
    } else if (a == "--windows") {
      int code = 0;
      if (!VersionCode(args[++i], &code)) {
        *error = "unknown Windows version '" + Quote(args[i]) + "' (95, 98, me, nt4, 2000, xp)";
        return false;
      }
      o->versions.push_back(code);
    } else if (a == "--list-rules") {
      o->list_rules = true;
    } else if (a == "--Werror") {
      o->werror = true;
    } else if (a == "--help" || a == "-h") {
      o->help = true;
    } else if (!a.empty() && a[0] == '-') {
      *error = "unknown option '" + Quote(a) + "'";
      return false;
    } else if (o->control_file.empty()) {
      o->control_file = a;
    } else {
      *error = "more than one control file";
      return false;
    }
  }
  if (o->versions.empty()) o->versions = AllVersionCodes();
  if (o->control_file.empty() && !o->list_rules && !o->help) {
    *error = "no control file";
    return false;
  }
  return true;
}

}  // namespace vtlint
