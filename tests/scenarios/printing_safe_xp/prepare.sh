# The member the user picks is named with "Safe": the printing-system stage
# then stops after the printers and their drivers.
sed -i 's/Photo Desk 1\.10/Photo Desk 1.10 Safe/g' drives/C/Scrubber/VtCvScrubber.ini
