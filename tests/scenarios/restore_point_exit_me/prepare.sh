# A restore point for the Corvus N family, whose registry list then has no entries: exit A
# comes after the point was begun and removal steps ran: the point is ended, and stays.
sed -i 's/^\[VT Corvus N series -- Common\]\r$/&\nRestorePoint=1\r/' drives/C/Scrubber/VtCvScrubber.ini
printf '; no entries\r\n' > drives/C/Scrubber/CorvusNReg9x.dat
