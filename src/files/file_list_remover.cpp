#include "files/remove_software.h"

// Placeholder until the file list remover is built: removes nothing.
int CRemoveSoftware::DeleteFiles(const CStringArray&, int) { return 0; }

// Placeholder until the My Faxes removal is built.
int CRemoveSoftware::DelMyFaxesDir(const std::string&) { return 1; }
