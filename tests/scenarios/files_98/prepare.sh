# The swept "Bin" folder holds a library the running program keeps open and
# a subfolder of skins the user added: the library is deferred; the folder
# cannot go, now or at the next start.
mkdir -p "drives/C/Program Files/Vantrel/AiO/VT Corvus W series/Bin/Skins"
printf 'skin' > "drives/C/Program Files/Vantrel/AiO/VT Corvus W series/Bin/Skins/Blue Sky.skn"
python3 - <<'PY'
import json, collections
m = json.load(open("machine.json"), object_pairs_hook=collections.OrderedDict)
m["files"]["C:\\Program Files\\Vantrel\\AiO\\VT Corvus W series\\Bin\\VtCwUi.dll"] = {"in_use": True}
json.dump(m, open("machine.json", "w"), indent=2, ensure_ascii=False)
PY
