// Texts of the transcript, written as vtsim writes them.
#pragma once

#include <string>

namespace windriver {

// `\\` for a backslash, `\n`, `\t`, `\r`, and `\xHH` for every other byte
// below 0x20 or above 0x7E; a double quote stays plain.
std::string EscapeText(const std::string& text);

// At most 200 bytes of a line, for error messages.
std::string Excerpt(const std::string& line);

}  // namespace windriver
