// regedit /s in the simulated batch interpreter.
#include "sim/batch_regedit.h"

#include <vector>

#include "sim/batch_words.h"
#include "sim/excerpt.h"
#include "sim/reg_file.h"
#include "sim/system_messages.h"
#include "sim/text.h"

namespace sim {
namespace {

constexpr char kHeader[] = "REGEDIT4";

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t from = 0;
  while (from < text.size()) {
    size_t nl = text.find('\n', from);
    if (nl == std::string::npos) nl = text.size();
    std::string line = text.substr(from, nl - from);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    from = nl + 1;
  }
  return lines;
}

size_t SkipBlanks(const std::string& s, size_t i) {
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  return i;
}

// Where the data of a value line starts (after its "="), or npos.
size_t DataStart(const std::string& line) {
  size_t i = SkipBlanks(line, 0);
  if (i < line.size() && line[i] == '"') {
    for (++i; i < line.size() && line[i] != '"'; ++i)
      if (line[i] == '\\' && i + 1 < line.size()) ++i;
  }
  i = SkipBlanks(line, i + 1);
  if (i >= line.size() || line[i] != '=') return std::string::npos;
  return SkipBlanks(line, i + 1);
}

// True when the value line's data is hex (hex: or hex(N):), which may go on
// over lines ending with a backslash.
bool IsHexValue(const std::string& line) {
  const size_t i = DataStart(line);
  return i != std::string::npos && line.compare(i, 3, "hex") == 0;
}

// A hex line continued on the next: its last character before blanks and a
// ";" comment is a backslash. `from`: where the data starts (a ";" inside the
// quoted value name is part of the name).
bool ContinuesHex(const std::string& line, size_t from) {
  size_t end = line.find(';', from);
  if (end == std::string::npos) end = line.size();
  while (end > from && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
  return end > from && line[end - 1] == '\\';
}

// The reader's message without its "line N: " (N counts the piece read).
std::string WhatIsWrong(const std::string& error) {
  const size_t colon = error.find(": ");
  return colon == std::string::npos ? error : error.substr(colon + 2);
}

}  // namespace

bool ImportRegedit4(const std::string& text, Registry& registry,
                    std::vector<std::string>* skipped) {
  const std::vector<std::string> lines = SplitLines(text);
  if (lines.empty() || TrimBlanks(lines[0]) != kHeader) return false;
  // The file's own form stays what the image was read in.
  const RegFileFormat format = registry.file_format;
  const size_t size = registry.file_size;
  bool changed = false;
  std::string keyLine;
  bool keyRead = false;
  // Each key line, and each value with its key line, is read on its own, so
  // that a line regedit cannot read leaves out that line only.
  auto apply = [&](const std::string& piece, size_t lineNo) {
    std::string error;
    const bool ok = ReadRegFile(std::string(kHeader) + "\r\n" + piece, registry, &error);
    changed = true;
    if (!ok) skipped->push_back("line " + std::to_string(lineNo) + ": " + WhatIsWrong(error));
    return ok;
  };
  for (size_t n = 1; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    const size_t i = SkipBlanks(line, 0);
    if (i == line.size() || line[i] == ';') continue;
    if (line[i] == '[') {
      keyLine = line.substr(i);
      keyRead = apply(keyLine + "\r\n", n + 1);
      continue;
    }
    if (line[i] != '"' && line[i] != '@') {
      // Excerpted with every other message below: once, not twice.
      skipped->push_back("line " + std::to_string(n + 1) + ": not a key or a value: " + line);
      continue;
    }
    const size_t first = n;
    std::string entry = line + "\r\n";
    if (IsHexValue(line)) {
      for (size_t from = DataStart(line); ContinuesHex(lines[n], from) && n + 1 < lines.size();
           from = 0)
        entry += lines[++n] + "\r\n";
    }
    if (!keyRead) {
      skipped->push_back("line " + std::to_string(first + 1) + ": value without a key read");
      continue;
    }
    apply(keyLine + "\r\n" + entry, first + 1);
  }
  registry.file_format = format;
  registry.file_size = size;
  if (changed) registry.dirty = true;
  for (std::string& s : *skipped) s = Excerpt(s);
  return true;
}

bool RunRegedit(Machine& m, const std::string& rest,
                const std::function<void(const std::string&)>& say) {
  std::string args = rest;
  if (!args.empty() && args[0] == '.') {
    const bool exe = args.size() >= 4 && EqualNoCase(args.substr(0, 4), ".EXE") &&
                     (args.size() == 4 || IsArgumentDelimiter(args[4]) || args[4] == '/');
    if (!exe) return false;
    args = args.substr(4);
  }
  bool silent = false;
  std::vector<std::string> files;
  for (const std::string& word : SplitArguments(args, true)) {
    if (!word.empty() && (word[0] == '/' || word[0] == '-')) {
      if (EqualNoCase(word.substr(1), "S")) {
        silent = true;
        continue;
      }
      say("not carried out: regedit " + Excerpt(word) + " (only /s imports are simulated)");
      return true;
    }
    files.push_back(word);
  }
  if (files.empty()) {
    say("not carried out: regedit without a file opens its window");
    return true;
  }
  if (!silent) {
    say("not carried out: without /s regedit asks before it imports");
    return true;
  }
  for (const std::string& file : files) {
    HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      std::string message = SystemMessage(error) ? SystemMessage(error) : "";
      while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
      say("not imported " + file + ": " +
          (message.empty() ? "Windows error " + std::to_string(error) : message));
      continue;
    }
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(h);
    std::vector<std::string> skipped;
    if (!ImportRegedit4(text, m.registry, &skipped)) {
      say("not imported " + file + ": not a REGEDIT4 file");
      continue;
    }
    say("imported " + file);
    for (const std::string& s : skipped) say("skipped " + s);
  }
  return true;
}

}  // namespace sim
