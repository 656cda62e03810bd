// The lines of a DAT list as the program's reader gets them: text mode (CR LF
// read as LF, a lone CR kept, Ctrl-Z ends the text) through a 259-character
// buffer, so a longer line arrives as pieces of 258.
#pragma once

#include <string>
#include <vector>

namespace vtlint {

struct DatLine {
  int line = 0;          // 1-based line of the file
  std::string text;      // the piece, without its line feed
  bool piece = false;    // a later piece of a line longer than 258 characters
  size_t full_size = 0;  // the whole line's length (on every piece)
};

std::vector<DatLine> ReadDatLines(const std::string& bytes);

// The first line of a file as the version check reads it (text mode, whole).
std::string FirstTextLine(const std::string& bytes);

}  // namespace vtlint
