#include "list_lint.h"
#include "sim/excerpt.h"

namespace vtlint {

std::string Quote(const std::string& text) {
  const std::string escaped = sim::Excerpt(text);
  std::string out;
  for (size_t i = 0; i < escaped.size(); ++i) {
    out += escaped[i];
    if (escaped[i] == '\\' && i + 1 < escaped.size() && escaped[i + 1] == '\\') ++i;
  }
  return out;
}

void AddFinding(Findings& out, const std::string& file, int line, const char* rule,
                const std::string& message) {
  out.push_back(Finding{file, line, rule, message});
}

void LintLineLengths(const std::vector<DatLine>& lines, const ListContext& ctx, Findings& out) {
  for (const DatLine& d : lines) {
    if (d.piece || d.full_size <= 258) continue;
    AddFinding(out, ctx.shown, d.line, "VT010",
               "line of " + std::to_string(d.full_size) +
                   " characters: the reader takes 258 and reads the rest as a further entry");
  }
}

}  // namespace vtlint
