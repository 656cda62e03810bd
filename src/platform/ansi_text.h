// 8-bit texts of the active code page: case folding as it has it, and the
// current directory as a text.
#pragma once

#include <string>

std::string UpperText(std::string text);
std::string LowerText(std::string text);
// True when text ends with tail, compared exactly.
bool EndsWith(const std::string& text, const std::string& tail);
// The current directory, or the empty text when it cannot be read whole
// (260 characters at most).
std::string CurrentDirectory();
