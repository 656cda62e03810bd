printf '; no entries\r\n' > drives/C/Scrubber/Trx5100Pd110FilesNT.dat
