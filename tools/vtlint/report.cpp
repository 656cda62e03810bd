#include "report.h"

#include <algorithm>
#include <tuple>

#include "rules.h"

namespace vtlint {

namespace {

const char* SeverityName(const std::string& rule) {
  const Rule* r = FindRule(rule);
  return r != nullptr && r->severity == Severity::kWarning ? "warning" : "error";
}

bool RuleSelected(const std::string& id, const Options& o) {
  if (!o.enabled.empty() && o.enabled.count(id) == 0) return false;
  return o.disabled.count(id) == 0;
}

}  // namespace

Findings Selected(const Findings& all, const Options& options) {
  Findings out;
  for (const Finding& f : all)
    if (RuleSelected(f.rule, options)) out.push_back(f);
  const auto key = [](const Finding& f) { return std::tie(f.file, f.line, f.rule, f.message); };
  std::sort(out.begin(), out.end(),
            [&](const Finding& a, const Finding& b) { return key(a) < key(b); });
  out.erase(std::unique(out.begin(), out.end(),
                        [&](const Finding& a, const Finding& b) { return key(a) == key(b); }),
            out.end());
  return out;
}

void Print(const Findings& findings, std::ostream& out) {
  for (const Finding& f : findings)
    out << f.file << ':' << f.line << ": " << SeverityName(f.rule) << ' ' << f.rule << ": "
        << f.message << '\n';
}

int ExitStatus(const Findings& findings, const Options& options) {
  for (const Finding& f : findings)
    if (options.werror || std::string(SeverityName(f.rule)) == "error") return 1;
  return 0;
}

void PrintRules(std::ostream& out) {
  for (const Rule& r : AllRules())
    out << r.id << ' ' << (r.severity == Severity::kError ? "error  " : "warning") << ' '
        << r.summary << '\n';
}

}  // namespace vtlint
