#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time, from the
# seeds in fuzz/seeds/ and the corpus in fuzz/corpus/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCVS_FUZZ=ON -DCVS_TESTS=OFF >/dev/null
cmake --build build/fuzz -j "$(nproc)"
for src in fuzz/*.cpp; do
  name=$(basename "$src" .cpp)
  corpus=build/fuzz/corpus/$name
  mkdir -p "$corpus"
  # Hand-written seeds, and the corpus the long run (scripts/fuzz-long.sh) kept.
  seeds=()
  [ -d "fuzz/seeds/$name" ] && seeds+=("fuzz/seeds/$name")
  [ -d "fuzz/corpus/$name" ] && seeds+=("fuzz/corpus/$name")
  echo "-- $name (${seconds}s)"
  build/fuzz/fuzz/"$name" -max_total_time="$seconds" -print_final_stats=0 "$corpus" "${seeds[@]}" \
    2>build/fuzz/"$name".log || { tail -50 build/fuzz/"$name".log; exit 1; }
done
