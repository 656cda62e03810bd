printf '; no entries\r\n' > drives/C/Scrubber/Trx5100RegNT.dat
