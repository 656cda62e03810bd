#include "cleanup/inf_seek_and_destroy.h"

CInfSeekAndDestroy::CInfSeekAndDestroy() = default;

// Placeholder until the OEM INF removal is built: removes nothing.
int CInfSeekAndDestroy::DeleteINF(const std::string&, const std::string&, int) { return 0; }
