// Progress text and run log entries of the printing-system removal.
#pragma once

#include <string>

#include "platform/win32.h"

void PnPProgress(const std::string& text);
void PnPLogText(const std::string& text);
void PnPLogNote(const std::string& origin, const std::string& detail);
void PnPLogError(const std::string& origin, const std::string& detail, DWORD code);
// True when the two texts are equal with case folded as the code page does.
bool SameTextNoCase(const std::string& a, const std::string& b);
// `text` cut to fit a buffer of `capacity` characters with its zero.
std::string CutToBuffer(const std::string& text, size_t capacity);
