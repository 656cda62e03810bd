// SearchInfText and the run-wide name of the OEM INF file being searched,
// which its progress text on the main window shows.
#pragma once

#include <string>

#include "platform/win32.h"

// The name of the file being searched (set by DeleteINF before each file).
extern std::string g_sInfFileBeingSearched;

// Empties the name above, as at the start of a process.
void ResetInfSearchState();

// Shows "(Loop: i) Reading file NAME, character position" on the main
// window's progress line.
void ShowInfSearchProgress(int loopIndex, size_t position);

// True when searchText occurs in the n bytes of contents (8-bit or 16-bit
// text) under the rule of MatchInfText, showing its progress on the way.
// contents holds n + 1 bytes, the last one zero.
bool SearchInfText(const char* contents, const char* searchText, DWORD n, int loopIndex);
