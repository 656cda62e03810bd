#!/usr/bin/env bash
# Every program-code source must compile against the real <windows.h>.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
while IFS= read -r f; do
  i686-w64-mingw32-g++ -std=c++17 -fsyntax-only -Wall -Wextra -Werror -Isrc -I. "$f" || status=1
done < <(find src -name '*.cpp' -not -path 'src/ui/*' | sort)
exit $status
