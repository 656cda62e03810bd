// Registry keys and values as `regedit /e` writes them in a REGEDIT4 file:
// 8-bit text, CR LF, a blank line before every key, hex data wrapped at
// regedit's column. Pure text work, built for the host's tests too.
#pragma once

#include <cstdint>
#include <string>

namespace vtcapture {

constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;

// "REGEDIT4" and its blank line: the start of the file.
std::string RegFileHeader();

// The "[PATH]" line that opens a key; its values follow, then RegKeyEnd().
std::string RegKeyLines(const std::string& path);

// The blank line after a key's values.
std::string RegKeyEnd();

// One value line (with its continuation lines): NAME empty is the default
// value "@". DATA is the value's bytes as RegEnumValueA gives them.
std::string RegValueLines(const std::string& name, uint32_t type, const std::string& data);

}  // namespace vtcapture
