// Which of the system icons (error, warning, information, question) a
// message box of another process shows. Icon handles belong to their
// process, so the target itself is asked for its system icons (LoadIconA in
// a short thread of the target) and the handles are compared.
#pragma once

#include <windows.h>

#include <map>

namespace windriver {

// "error", "warning", "information", "question", or "other"; `cache` keeps
// the target's handles between boxes.
const char* SystemIconName(HANDLE process, HICON shown, std::map<int, HICON>* cache);

}  // namespace windriver
