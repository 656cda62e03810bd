// The Windows version code: 0 95, 1 98, 2 ME, 3 NT 4, 4 2000, 5 XP, -1 other.
#pragma once

int GetWindowsVersionCode();
// The 9x family: codes below 3, -1 included.
inline bool IsWin9xFamily(int code) { return code < 3; }
