#include "printing/handle_pnp.h"

// Placeholder until the printing-system removal is built: removes nothing.
int VTDeletePnP(const std::string&, const std::string&, const CStringArray&, const CStringArray&,
                const CStringArray&, const CStringArray&, const CStringArray&, DWORD, int, int) {
  return 0;
}
