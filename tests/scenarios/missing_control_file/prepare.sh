rm "drives/C/Scrubber/VtCvScrubber.ini"
