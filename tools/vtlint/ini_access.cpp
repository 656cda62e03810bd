#include "ini_access.h"

#include <cctype>

#include "config/count_text.h"
#include "list_lint.h"
#include "sim/text.h"

namespace vtlint {

namespace {

constexpr UINT kMissingCount = 65536;
constexpr size_t kCountBuffer = 64;

std::string Consequence(const char* rule) {
  return std::string(rule) == "VT004" ? "the uninstall stops" : "the program goes on without it";
}

void ReportMissing(IniAccess& a, const sim::ProfileSection& s, const std::string& key,
                   const char* rule) {
  AddFinding(a.out, a.shown, s.line, rule,
             "[" + Quote(s.name) + "] has no key " + Quote(key) + ": " + Consequence(rule));
}

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

}  // namespace

TextValue IniAccess::Text(const sim::ProfileSection& s, const char* key, size_t size,
                          const char* missingRule) {
  TextValue v;
  const sim::ProfileKey* k = sim::ProfileFile::FindKey(s, key);
  const std::string value = k ? sim::StripQuotes(k->value) : std::string();
  if (k == nullptr || sim::EqualNoCase(value.substr(0, size - 1), "NotFound")) {
    ReportMissing(*this, s, key, missingRule);
    return v;
  }
  v.found = true;
  v.line = k->line;
  v.value = value.substr(0, size - 1);
  if (value.size() > size - 1)
    AddFinding(out, shown, k->line, "VT009",
               std::string(key) + " has " + std::to_string(value.size()) +
                   " characters: the reader's buffer keeps " + std::to_string(size - 1));
  return v;
}

CountValue IniAccess::Count(const sim::ProfileSection& s, const char* key,
                            const char* missingRule) {
  CountValue c;
  c.line = s.line;
  const sim::ProfileKey* k = sim::ProfileFile::FindKey(s, key);
  const std::string text =
      k ? sim::StripQuotes(k->value).substr(0, kCountBuffer - 1) : std::string();
  const UINT n = CountFromText(text, kMissingCount);
  if (n >= kMissingCount) {
    if (k == nullptr || text.empty()) {
      ReportMissing(*this, s, key, missingRule);
    } else {
      AddFinding(
          out, shown, k->line, missingRule,
          std::string(key) + "=" + Quote(text) +
              " reads as 65536 or more, which counts as missing: " + Consequence(missingRule));
    }
    return c;
  }
  c.found = true;
  c.count = n;
  c.line = k->line;
  // The reader's buffer keeps 63 characters: a longer count is read cut.
  if (!AllDigits(text) || sim::StripQuotes(k->value).size() > text.size())
    AddFinding(out, shown, k->line, "VT008",
               std::string(key) + "=" + Quote(sim::StripQuotes(k->value)) + " is read as " +
                   std::to_string(n));
  return c;
}

std::vector<std::string> IniAccess::Numbered(const sim::ProfileSection& s, const char* base,
                                             const CountValue& count, size_t entryLimit) {
  std::vector<std::string> values;
  if (!count.found) return values;
  const std::string b = base;
  for (unsigned i = 1; i <= count.count; ++i) {
    const std::string key = b + std::to_string(i);
    const sim::ProfileKey* k = sim::ProfileFile::FindKey(s, key);
    const std::string value = k ? sim::StripQuotes(k->value) : std::string();
    if (k == nullptr || sim::EqualNoCase(value.substr(0, 511), "NotFound")) {
      AddFinding(out, shown, count.line, "VT006",
                 "the count is " + std::to_string(count.count) + " but " + key +
                     " is missing: the reader stops there");
      break;
    }
    if (value.size() > 511) {
      AddFinding(out, shown, k->line, "VT009",
                 key + " has " + std::to_string(value.size()) +
                     " characters: the reader's buffer keeps 511");
    } else if (entryLimit != 0 && value.size() > entryLimit) {
      AddFinding(out, shown, k->line, "VT009",
                 key + " has " + std::to_string(value.size()) +
                     " characters: the uninstall copies " + std::to_string(entryLimit));
    }
    if (!value.empty()) values.push_back(value.substr(0, 511));
  }
  // Keys of this base the loop above never reads.
  for (const sim::ProfileKey& k : s.keys) {
    if (!k.has_value || k.name.size() <= b.size()) continue;
    if (!sim::EqualNoCase(k.name.substr(0, b.size()), b)) continue;
    const std::string digits = k.name.substr(b.size());
    if (!AllDigits(digits)) continue;
    const bool leadingZero = digits[0] == '0';
    const bool beyond = digits.size() > 9 || std::stoul(digits) > count.count;
    if (!leadingZero && !beyond) continue;
    AddFinding(out, shown, k.line, "VT007",
               Quote(k.name) + " is never read: " +
                   (leadingZero ? std::string("numbered keys have no leading zeros")
                                : "the count is " + std::to_string(count.count)));
  }
  return values;
}

void IniAccess::CommaList(const sim::ProfileSection& s, const char* key, size_t entryLimit,
                          const char* missingRule) {
  const TextValue v = Text(s, key, 512, missingRule);
  if (!v.found) return;
  size_t start = 0;
  while (start <= v.value.size()) {
    size_t comma = v.value.find(',', start);
    if (comma == std::string::npos) comma = v.value.size();
    if (comma - start > entryLimit)
      AddFinding(out, shown, v.line, "VT009",
                 std::string(key) + " holds an entry of " + std::to_string(comma - start) +
                     " characters: the uninstall copies " + std::to_string(entryLimit));
    start = comma + 1;
  }
}

}  // namespace vtlint
