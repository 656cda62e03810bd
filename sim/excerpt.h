// Quoting a bad input line in an error message: a person needs to recognise
// the line, not to read a megabyte of it on one terminal line.
#pragma once

#include <cstddef>
#include <string>

namespace sim {

// At most `limit` bytes of `line`, with control bytes and bytes above 0x7E
// escaped as the transcript writes them; " ... (N bytes)" is appended when
// the line was cut.
std::string Excerpt(const std::string& line, size_t limit = 200);

}  // namespace sim
