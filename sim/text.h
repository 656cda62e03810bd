// Texts of the simulated PC: the active 8-bit code page, case folding as
// Windows does for it, and conversion to and from UTF-8 (JSON, host names).
#pragma once

#include <string>
#include <string_view>

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

// WTF-8: UTF-8 that also carries lone surrogates (as 3-byte sequences), so
// any UTF-16 text survives the trip through it unchanged.
void AppendWtf8(std::string& out, char32_t cp);
// Text of `units` UTF-16LE code units at `bytes`.
std::string Utf16LeToWtf8(const char* bytes, size_t units);
// The character at s[i] and the bytes it takes (at least 1; a byte that
// starts no sequence stands for itself).
size_t DecodeWtf8(std::string_view s, size_t i, char32_t* cp);
std::string Wtf8ToUtf16Le(std::string_view s);
// The code page form; characters it lacks become '?' and clear `ok`.
std::string Wtf8ToAnsi(std::string_view s, bool* ok = nullptr);

}  // namespace sim
