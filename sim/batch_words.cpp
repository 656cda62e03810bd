#include "sim/batch_words.h"

#include <cctype>
#include <cstdlib>

namespace sim {

namespace {

const std::string* Lookup(const PercentContext& c, const std::string& name) {
  if (!c.environment) return nullptr;
  auto it = c.environment->find(name);
  return it == c.environment->end() ? nullptr : &it->second;
}

std::string Argument(const PercentContext& c, size_t n) {
  return n < c.arguments.size() ? c.arguments[n] : std::string();
}

// cmd.exe's %NAME:~start,length%: negative numbers count from the end.
std::string Substring(const std::string& value, const std::string& spec) {
  const long size = static_cast<long>(value.size());
  char* end = nullptr;
  long start = std::strtol(spec.c_str(), &end, 10);
  long length = size;
  if (*end == ',') length = std::strtol(end + 1, nullptr, 10);
  if (start < 0) start += size;
  if (start < 0) start = 0;
  if (start > size) start = size;
  if (length < 0) length = size - start + length;
  if (length < 0) length = 0;
  if (start + length > size) length = size - start;
  return value.substr(static_cast<size_t>(start), static_cast<size_t>(length));
}

// Position of `what` in `text` from `from`, case ignored; npos when absent.
size_t FindNoCase(const std::string& text, const std::string& what, size_t from) {
  if (what.empty()) return std::string::npos;
  for (size_t i = from; i + what.size() <= text.size(); ++i)
    if (EqualNoCase(text.substr(i, what.size()), what)) return i;
  return std::string::npos;
}

// cmd.exe's %NAME:old=new%, case ignored; *old replaces up to the first old.
std::string Replace(const std::string& value, const std::string& spec) {
  const size_t eq = spec.find('=');
  std::string old = spec.substr(0, eq);
  const std::string repl = spec.substr(eq + 1);
  if (!old.empty() && old[0] == '*') {
    const size_t at = FindNoCase(value, old.substr(1), 0);
    if (old.size() == 1 || at == std::string::npos) return value;
    return repl + value.substr(at + old.size() - 1);
  }
  if (old.empty()) return value;
  std::string out;
  size_t from = 0;
  for (size_t at; (at = FindNoCase(value, old, from)) != std::string::npos;) {
    out += value.substr(from, at - from) + repl;
    from = at + old.size();
  }
  return out + value.substr(from);
}

}  // namespace

std::string ExpandPercent(const std::string& line, const PercentContext& c) {
  std::string out;
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] != '%') {
      out += line[i++];
      continue;
    }
    const char next = i + 1 < line.size() ? line[i + 1] : '\0';
    if (next == '%') {
      out += '%';
      i += 2;
    } else if (next >= '0' && next <= '9') {
      out += Argument(c, static_cast<size_t>(next - '0'));
      i += 2;
    } else if (next == '*' && c.nt) {
      for (size_t a = 1; a < c.arguments.size(); ++a) out += (a > 1 ? " " : "") + c.arguments[a];
      i += 2;
    } else {
      // A name runs to the next % (cmd.exe: or to a : that starts a modifier).
      const size_t close = line.find('%', i + 1);
      const size_t colon = c.nt ? line.find(':', i + 1) : std::string::npos;
      if (colon < close) {
        const std::string name = line.substr(i + 1, colon - i - 1);
        const std::string* value = Lookup(c, name);
        if (!value || close == std::string::npos) {
          // Undefined: "%NAME:" goes and the scan goes on after it.
          if (value) {
            ++i;  // a defined name without a closing %: the % alone goes
          } else {
            i = colon + 1;
          }
          continue;
        }
        const std::string spec = line.substr(colon + 1, close - colon - 1);
        if (!spec.empty() && spec[0] == '~') {
          out += Substring(*value, spec.substr(1));
        } else if (spec.find('=') != std::string::npos) {
          out += Replace(*value, spec);
        } else {
          i = colon + 1;  // no modifier: "%NAME:" goes
          continue;
        }
        i = close + 1;
      } else if (close == std::string::npos) {
        ++i;  // a lone % is dropped
      } else {
        const std::string* value = Lookup(c, line.substr(i + 1, close - i - 1));
        if (value) out += *value;
        i = close + 1;
      }
    }
  }
  return out;
}

bool IsArgumentDelimiter(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == ';' || c == '=';
}

std::string TrimBlanks(const std::string& text) {
  size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  return text.substr(b, e - b);
}

namespace {

// True when the command starting at `pos` of `line` is a REM: the word REM
// (any case) after blanks and @ signs, followed by a delimiter or the end.
bool StartsWithRem(const std::string& line, size_t pos) {
  while (pos < line.size() && (IsArgumentDelimiter(line[pos]) || line[pos] == '@')) ++pos;
  if (line.size() - pos < 3 || !EqualNoCase(line.substr(pos, 3), "REM")) return false;
  return pos + 3 == line.size() || IsArgumentDelimiter(line[pos + 3]) || line[pos + 3] == '/';
}

}  // namespace

bool SplitCmdCommands(const std::string& line, std::vector<std::string>* commands,
                      std::string* unsupported) {
  commands->clear();
  std::string current;
  bool quoted = false;
  bool atStart = true;
  for (size_t i = 0; i < line.size(); ++i) {
    if (atStart && StartsWithRem(line, i)) {
      current += line.substr(i);  // REM ignores &, ^ and the rest alike
      break;
    }
    atStart = false;
    const char ch = line[i];
    if (ch == '"') {
      quoted = !quoted;
      current += ch;
    } else if (quoted) {
      current += ch;
    } else if (ch == '^') {
      if (i + 1 < line.size()) current += line[++i];
    } else if (ch == '&') {
      if (i + 1 < line.size() && line[i + 1] == '&') {
        *unsupported = "&&";
        return false;
      }
      commands->push_back(current);
      current.clear();
      atStart = true;
    } else if (ch == '|' || ch == '<' || ch == '>') {
      *unsupported =
          ch == '|' ? (i + 1 < line.size() && line[i + 1] == '|' ? "||" : "|") : std::string(1, ch);
      return false;
    } else {
      current += ch;
    }
  }
  commands->push_back(current);
  return true;
}

bool TakeLineContinuation(std::string* line) {
  bool quoted = false;
  for (size_t i = 0; i < line->size(); ++i) {
    const char ch = (*line)[i];
    if (ch == '"') {
      quoted = !quoted;
    } else if (ch == '^' && !quoted) {
      if (i + 1 == line->size()) {
        line->pop_back();
        return true;
      }
      ++i;  // the escaped character
    }
  }
  return false;
}

std::vector<std::string> SplitArguments(const std::string& text, bool stripQuotes) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, inWord = false;
  for (char ch : text) {
    if (!quoted && IsArgumentDelimiter(ch)) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
      continue;
    }
    inWord = true;
    if (ch == '"') {
      quoted = !quoted;
      if (stripQuotes) continue;
    }
    word += ch;
  }
  if (inWord) words.push_back(word);
  return words;
}

std::string WithoutQuotes(const std::string& text) {
  std::string out;
  for (char ch : text)
    if (ch != '"') out += ch;
  return out;
}

}  // namespace sim
