// The "My Faxes" folder of a device directory goes to the Recycle Bin, so
// the user can still get received faxes back.
#include "discovery/find_default_dirs.h"
#include "files/batch_erase_files.h"
#include "files/remove_software.h"

int CRemoveSoftware::DelMyFaxesDir(const std::string& dir) {
  // An empty device directory would give "\My Faxes" of the current drive.
  if (SkipUnsafePath(dir)) return 1;
  const std::string path = WithBackslash(dir) + "My Faxes";
  CFindDefaultDirs finder;
  if (!finder.VTSeekDirectory(path)) return 1;

  // The shell takes a list of names, each ended by a zero, the list by a
  // second zero.
  std::string from = path;
  from.push_back('\0');
  from.push_back('\0');
  SHFILEOPSTRUCTA operation = {};
  operation.hwnd = nullptr;
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.pTo = nullptr;
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI;
  return SHFileOperationA(&operation) == 0 ? 1 : 0;
}
