# System Restore switched off on the XP PC: the call fails with
# ERROR_SERVICE_DISABLED, no point is logged as made, and the scrub goes on.
sed -i 's/^\[VT TRX 5100 series -- Common\]\r$/&\nRestorePoint=1\r/' drives/C/Scrubber/VtCvScrubber.ini
python3 - <<'PY'
import json, collections
m = json.load(open("machine.json"), object_pairs_hook=collections.OrderedDict)
m["system_restore"] = {"enabled": False}
json.dump(m, open("machine.json", "w"), indent=2)
PY
