# The swept "Photo Desk" folder also holds a cache file the running program
# keeps open: the sweep defers it, and the folder with it.
printf 'cache' > "drives/C/Program Files/Vantrel/Photo Desk/VtPdCache.dat"
python3 - <<'PY'
import json, collections
m = json.load(open("machine.json"), object_pairs_hook=collections.OrderedDict)
m["files"]["C:\\Program Files\\Vantrel\\Photo Desk\\VtPdCache.dat"] = {"in_use": True}
json.dump(m, open("machine.json", "w"), indent=2, ensure_ascii=False)
PY
