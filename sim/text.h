// Texts of the simulated PC: the active 8-bit code page, case folding as
// Windows does for it, and conversion to and from UTF-8 (JSON, host names).
#pragma once

#include <string>

namespace sim {

// The code page the program sees (1252 unless machine.json says otherwise).
void SetCodePage(unsigned codePage);
unsigned CodePage();
bool IsSupportedCodePage(unsigned codePage);

// Upper case of one character of the code page, as CharUpperA.
unsigned char FoldUpper(unsigned char c);
std::string UpperCase(const std::string& s);
// <0, 0, >0 comparing without case (as the registry and file names order).
int CompareNoCase(const std::string& a, const std::string& b);
bool EqualNoCase(const std::string& a, const std::string& b);

struct LessNoCase {
  bool operator()(const std::string& a, const std::string& b) const {
    return CompareNoCase(a, b) < 0;
  }
};

// UTF-8 <-> the code page. Characters the code page lacks become '?'; `ok`
// (when given) is set false then, or on malformed UTF-8.
std::string Utf8ToAnsi(const std::string& utf8, bool* ok = nullptr);
std::string AnsiToUtf8(const std::string& ansi);
// UTF-16LE (as in a version 5 .reg file) <-> the code page.
std::string Utf16ToAnsi(const std::u16string& s, bool* ok = nullptr);
std::u16string AnsiToUtf16(const std::string& ansi);

}  // namespace sim
