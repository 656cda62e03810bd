#include "files/remove_software.h"

// Placeholder until the registry list eraser is built: removes nothing.
int CRemoveSoftware::EraseRegList(const CStringArray& list, int) { return list.empty() ? 0 : 1; }
