rm "drives/C/Scrubber/Trx5100Pd110FilesNT.dat"
