// Reading one OEM INF file whole, with the run log entries of a file that
// cannot be searched.
#pragma once

#include <string>
#include <vector>

// Reads the file at `path` into `contents`: its bytes followed by one zero
// byte. False, after a run log entry, when it cannot be opened, is empty or
// 65536 bytes or more, or reads short.
bool ReadOemInf(const std::string& path, std::vector<char>& contents);

// Files of this many bytes or more are not searched.
constexpr unsigned long kInfSizeLimit = 65536;
