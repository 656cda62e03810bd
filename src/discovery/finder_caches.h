// The run-wide caches behind CFindAiOinReg (discovery's own use).
#pragma once

#include "discovery/find_aio_in_reg.h"

struct FinderCaches {
  char installDir[kPathBuffer];
  char systemDir[kPathBuffer];
  char windowsDir[kPathBuffer];
  char desktopDir[kPathBuffer];
  char userProgramsDir[kPathBuffer];
  char commonProgramsDir[kPathBuffer];
  char ocrDir[kPathBuffer];
  char deviceIDDir[kPathBuffer];
};

FinderCaches& Caches();
