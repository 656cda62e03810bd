// The shell's calls that came with Internet Explorer 4's desktop update
// (shell32 4.71 and shlwapi.dll): the first Windows 95 and NT 4 lack them. An
// import of either would stop the program from loading there at all, so they
// are looked up at run time, with the fallback each caller needs.
#pragma once

#include "platform/win32.h"

// SHGetSpecialFolderPathA from shell32.dll. Without it: FALSE, with the last
// error GetProcAddress left (127), which the callers log.
BOOL LaterShellSpecialFolderPath(HWND hwnd, LPSTR path, int csidl, BOOL create);

// SHDeleteKeyA from shlwapi.dll: deletes the key with all its subkeys.
// Without shlwapi the tree is deleted key by key, deepest first.
DWORD LaterShellDeleteKey(HKEY hkey, LPCSTR subKey);

// The fallback of LaterShellDeleteKey: the first error stops it.
DWORD DeleteKeyTree(HKEY hkey, LPCSTR subKey);
