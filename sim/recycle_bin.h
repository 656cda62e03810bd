// The Recycle Bin of a simulated PC: what the shell moved into a drive's bin
// folder, under which name, and from where. Windows keeps this in the bin's
// own index file; the simulated PC keeps it in machine.json "recycle_bin", so
// an image shows what went where.
#pragma once

#include <string>
#include <vector>

namespace sim {

struct RecycledItem {
  std::string path;    // where the item was (full path, code page text)
  std::string stored;  // where it is now, e.g. "C:\RECYCLER\S-1-5-...\Dc1.tif"
};

class RecycleBin {
 public:
  // The user's security identifier: on the NT family each user has a bin
  // folder of that name.
  std::string sid = "S-1-5-21-1085031214-1563985344-725345543-1003";
  std::vector<RecycledItem> items;

  // The bin folder of a drive: "X:\RECYCLED" on 95/98/ME, "X:\RECYCLER\<sid>"
  // on NT 4, 2000 and XP.
  std::string Folder(char drive, bool ntFamily) const;
  // The name the next item moved into that drive's bin gets: "D", the drive
  // letter, the next index of the drive, then the original extension
  // ("Dc1", "Dc2.tif"; upper case on the 9x family's FAT drives). The index
  // continues after the highest one recorded for the drive, and after
  // `taken` (an index whose name is found taken in the folder).
  std::string NextName(char drive, bool ntFamily, const std::string& originalName,
                       unsigned long taken = 0) const;
  // The index of a stored name on that drive ("Dc12.txt" -> 12), or 0.
  static unsigned long IndexOf(char drive, const std::string& storedName);
};

}  // namespace sim
