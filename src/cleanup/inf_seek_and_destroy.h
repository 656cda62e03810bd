// Removal of the device's OEM INF files from the Windows INF directory.
#pragma once

#include <string>

class CInfSeekAndDestroy {
 public:
  CInfSeekAndDestroy();
  int DeleteINF(const std::string& infDir, const std::string& searchText, int index);
};
