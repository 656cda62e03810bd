// Program entry: one instance at a time, then the main window.
#pragma once

// Returns when the main window has closed (or another instance was brought up).
int ProgramMain();
