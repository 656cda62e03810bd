// Texts between Windows' 8-bit code page and the image's UTF-8 (Win32 only).
#pragma once

#include <string>

namespace vtcapture {

// Code-page text as UTF-8 (the image's JSON).
std::string AnsiToUtf8(const std::string& ansi);

// Upper case as the code page folds it (short names compare this way).
std::string AnsiUpper(std::string s);

// The path's folder: everything before its last backslash.
std::string FolderOf(const std::string& path);

// Case-insensitive equality of two code-page texts.
bool SameText(const std::string& a, const std::string& b);

}  // namespace vtcapture
