// The counts of the control file (numSWvers, numPnPIDs, NumMSIs ...) are read
// as text and converted here, not by GetPrivateProfileIntA: Windows' call
// gives a negative number as its two's complement ("-1" is 4294967295), but a
// count of -1 must read as no entries.
#pragma once

#include <string>

#include "platform/win32.h"

// The number in `text` by the profile API's rules: leading blanks, a sign,
// a "0x" (hex), "0o" (octal) or "0b" (binary) prefix, then digits until the
// first that is none, kept in 32 bits. A negative number gives 0. An empty
// text (a missing key, or an empty value) gives `missing`.
UINT CountFromText(const std::string& text, UINT missing);
