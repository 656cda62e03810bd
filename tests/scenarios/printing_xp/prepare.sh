# Two installer packages: the first fails (1603), the second takes longer
# than the control file's time-out (100 s) and is left running. The fax
# printer shares the printer's DOT4 port, one service is stopped already and
# the other ignores the stop control.
sed -i 's/^NumMSIs=1\r$/NumMSIs=2\r/; s/^MsiPack1=\({28ABC70E-91EF-A4C9-C665-284CB0F07586}\r\)$/MsiPack1={5D0C1B2A-3E4F-4A5B-8C6D-7E8F9A0B1C2D}\r\nMsiPack2=\1/' drives/C/Scrubber/VtCvScrubber.ini
cat >> registry.reg <<'REG'
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\{5D0C1B2A-3E4F-4A5B-8C6D-7E8F9A0B1C2D}]
"DisplayName"="VT Photo Desk Scan Add-on"

REG
python3 - <<'PY'
import json, collections
m = json.load(open("machine.json"), object_pairs_hook=collections.OrderedDict)
m["installer_products"][0]["seconds"] = 600
m["installer_products"].append(collections.OrderedDict(
    [("code", "{5D0C1B2A-3E4F-4A5B-8C6D-7E8F9A0B1C2D}"), ("seconds", 5), ("exit_code", 1603)]))
m["printers"][1]["port"] = "DOT4_001"
for s in m["services"]:
    if s["name"] == "VtDot4Svc":
        s["accepts_stop"] = False
    if s["name"] == "VtPdScanSvc":
        s["state"] = "stopped"
json.dump(m, open("machine.json", "w"), indent=2, ensure_ascii=False)
PY
