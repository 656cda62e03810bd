// System error texts, file-error descriptions and the two error boxes.
#pragma once

#include <string>

#include "platform/win32.h"

// FormatMessageA's text for code (language 0x0400), as the system returns it
// (usually ending in CR LF); empty when the system has none.
std::string SystemMessageText(DWORD code);

// The cause code (0-14) of a failed file operation's operating-system error.
int FileErrorCause(DWORD osError);

// The sentence for a cause, with %1 replaced by path (or "an unnamed file").
std::string FileErrorDescription(int cause, const std::string& path);

// Message box (no owner, error icon, OK): "%s\n\n%s" with the system text and detail.
void ShowSystemError(const std::string& caption, DWORD code, const std::string& detail);
void ShowLastError(const std::string& caption, const std::string& detail);
