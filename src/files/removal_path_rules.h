// Which paths the file remover may act on at all. A files list is data from
// outside the program: an empty directory variable or a stray line must never
// turn into a drive root, the current drive or the current directory.
#pragma once

#include <string>

// True for an absolute path that names something below a drive root
// ("C:\x.dll", "C:\Fax") or below a UNC share ("\\srv\share\x"). False for
// "", "C:", "C:\", "C:x", "\x", "x", a bare share, and any path with a "." or
// ".." part or a part of only dots and blanks (Windows drops those, so they
// can climb back to the root).
bool IsSafeRemovalPath(const std::string& path);
