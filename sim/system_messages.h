// Windows' English texts of system error codes, as FormatMessageA gives them
// from the system message table (each ends in CR LF).
#pragma once

#include "platform/win32.h"

namespace sim {

// The text of `code`, or nullptr when the table has none.
const char* SystemMessage(DWORD code);

}  // namespace sim
