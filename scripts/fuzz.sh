#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a short while,
# seeded from the sample tests and from their exported exchange text.
# Usage: scripts/fuzz.sh [SECONDS]   (default 60 each)
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
JOBS=${JOBS:-$(nproc)}

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVO_BUILD_FUZZ=ON -DTAVO_BUILD_APP=OFF -DTAVO_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$JOBS" --target fuzz_tester_file fuzz_exchange tavo-cli

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tester" "$work/exchange" "$work/artifacts"
cp samples/*.[oO][0-9][0-9] "$work/tester/"
ASAN_OPTIONS=detect_leaks=0 build-fuzz/tavo-cli export -o "$work/exchange/seed.Txt" samples/*.[oO][0-9][0-9] >/dev/null

run() {
  local target=$1 corpus=$2 max_len=$3
  echo "== fuzzing $target for ${SECONDS_EACH}s"
  (cd "$work" && "$OLDPWD/build-fuzz/$target" -max_total_time="$SECONDS_EACH" -max_len="$max_len" \
     -artifact_prefix="$work/artifacts/" -print_final_stats=1 "$corpus" 2>&1 | tail -n 12)
}
status=0
run fuzz_tester_file "$work/tester" 40000 || status=1
run fuzz_exchange "$work/exchange" 20000 || status=1
if [ "$status" -ne 0 ] || compgen -G "$work/artifacts/*" >/dev/null; then
  echo "error: the fuzzers found inputs that crash; kept in fuzz-artifacts/" >&2
  mkdir -p fuzz-artifacts && cp "$work"/artifacts/* fuzz-artifacts/
  exit 1
fi
echo "fuzz: no crash"
