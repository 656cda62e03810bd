// Case folding of 8-bit texts as the active code page has it.
#pragma once

#include <string>

std::string UpperText(std::string text);
std::string LowerText(std::string text);
// True when text ends with tail, compared exactly.
bool EndsWith(const std::string& text, const std::string& tail);
