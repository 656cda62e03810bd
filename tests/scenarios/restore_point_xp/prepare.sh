# The control file asks for a restore point for the TRX 5100 family.
sed -i 's/^\[VT TRX 5100 series -- Common\]\r$/&\nRestorePoint=1\r/' drives/C/Scrubber/VtCvScrubber.ini
