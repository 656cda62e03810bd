// The transcript: one event a line, texts written with C escapes so that they
// read as the program's own quoted strings.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace sim {

// `\\` for a backslash, `\n`, `\t`, `\r`, and `\xHH` for every other byte
// below 0x20 or above 0x7E; a double quote stays plain.
std::string EscapeText(const std::string& text);

class Transcript {
 public:
  void SetStream(std::ostream* out) { out_ = out; }
  // Appends one line (no line end); also streams it when a stream is set.
  void Write(const std::string& line);
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
  std::ostream* out_ = nullptr;
};

}  // namespace sim
