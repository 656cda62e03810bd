#!/usr/bin/env bash
# Installs Wine (32-bit) and the MinGW compiler for the Windows-side checks.
# Does nothing when they are present.
set -euo pipefail
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
if have wine && have wine32:i386 && have g++-mingw-w64-i686; then exit 0; fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "run as root or install sudo to install Wine" >&2; exit 1; }
  sudo="sudo"
fi
echo "Installing Wine (32-bit) and MinGW ..." >&2
$sudo dpkg --add-architecture i386
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q >/dev/null
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
  wine wine32:i386 g++-mingw-w64-i686 >/dev/null
