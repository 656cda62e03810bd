// The version word and number on the control file's first line.
#pragma once

#include <string>

// Where the version number starts: 8 after "Version"/"version"/"VERSION"
// anywhere in the line, 3 after "Ver"/"ver"/"VER", -1 when neither occurs.
int FindVersionWord(const std::string& line);
// From start, skips non-digits, then copies digits and periods. Only positions
// 0-127 of the line are examined and at most 127 characters copied.
std::string ReadVersionNumber(const std::string& line, int start);
