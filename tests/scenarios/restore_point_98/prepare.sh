# A restore point asked for on Windows 98, which has no System Restore.
sed -i 's/^\[VT Corvus W series -- Common\]\r$/&\nRestorePoint=1\r/' drives/C/Scrubber/VtCvScrubber.ini
