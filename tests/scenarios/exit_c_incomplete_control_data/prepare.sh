sed -i '/^DevIDname=VT TRX 5100 series/d' drives/C/Scrubber/VtCvScrubber.ini
