#!/usr/bin/env bash
# Builds the conformance cases as a 32-bit Windows console program and runs
# them under Wine, once per Windows version (default: winxp win98):
#   scripts/conformance-wine.sh [FILTER]
# Wine runs as an ordinary user (as root it lets a read-only file be opened
# for writing), in a 32-bit prefix without the Z: drive, headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-wine.sh
filter=${1:-}
versions=${CVS_WINE_VERSIONS:-"winxp win98"}

out=build/conformance
mkdir -p "$out"
sources=$(ls tests/conformance/*.cpp | grep -v '/sim_main\.cpp$')
i686-w64-mingw32-g++ -std=c++17 -O1 -Wall -Wextra -Werror -static -Isrc -Itests -I. \
  $sources -o "$out/conformance.exe" -ladvapi32 -lshlwapi -lshell32 -lwinspool

# An ordinary user to run Wine as, when we are root.
run_as=()
if [ "$(id -u)" -eq 0 ]; then
  id cvswine >/dev/null 2>&1 || useradd --create-home --shell /bin/bash cvswine
  run_as=(runuser -u cvswine --)
  work=$(runuser -u cvswine -- mktemp -d)
else
  work=$(mktemp -d)
fi
trap 'rm -rf "$work"' EXIT
cp "$out/conformance.exe" "$work/"
chmod 755 "$work" "$work/conformance.exe"

status=0
for version in $versions; do
  prefix="$work/prefix-$version"
  wine_env=(env HOME="$work" WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all
            WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
  "${run_as[@]}" "${wine_env[@]}" wineboot -i >/dev/null 2>&1
  # No way from the prefix to the host's root, no crash dialog, no display.
  "${run_as[@]}" rm -f "$prefix/dosdevices/z:"
  "${run_as[@]}" "${wine_env[@]}" wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
    /t REG_DWORD /d 0 /f >/dev/null 2>&1
  "${run_as[@]}" "${wine_env[@]}" wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics \
    /d null /f >/dev/null 2>&1
  "${run_as[@]}" "${wine_env[@]}" wine reg add 'HKCU\Software\Wine' /v Version /d "$version" \
    /f >/dev/null 2>&1
  "${run_as[@]}" "${wine_env[@]}" wineserver -k || true
  "${run_as[@]}" cp "$work/conformance.exe" "$prefix/drive_c/conformance.exe"
  echo "== Wine $version"
  "${run_as[@]}" "${wine_env[@]}" wine 'C:\conformance.exe' $filter || status=1
  "${run_as[@]}" "${wine_env[@]}" wineserver -k || true
done
exit $status
