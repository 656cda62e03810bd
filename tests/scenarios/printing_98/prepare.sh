# A service of the device's name: Windows 98 has no service manager, so the
# run must leave it as it is.
python3 - <<'PY'
import json, collections
m = json.load(open("machine.json"), object_pairs_hook=collections.OrderedDict)
m["services"] = [{"name": "VtCwScanSvc", "state": "running"}]
json.dump(m, open("machine.json", "w"), indent=2, ensure_ascii=False)
PY
