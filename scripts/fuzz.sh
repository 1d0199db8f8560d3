#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a short while,
# seeded from the sample tests, their exported exchange text, the sample
# well records, the seeds in fuzz/seeds/<target>/ and the committed
# findings in fuzz/regressions/<target>/.
# Usage: scripts/fuzz.sh [SECONDS]   (default 60 each)
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
JOBS=${JOBS:-$(nproc)}

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVO_BUILD_FUZZ=ON -DTAVO_BUILD_APP=OFF -DTAVO_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$JOBS" --target fuzz_pipeline fuzz_tester_file fuzz_exchange fuzz_well_import fuzz_downhole tavo-cli

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tester" "$work/pipeline" "$work/exchange" "$work/wells" "$work/downhole" "$work/artifacts" "$work/tmp"
cp samples/*.[oO][0-9][0-9] "$work/tester/"
cp samples/*.[oO][0-9][0-9] "$work/pipeline/"
# Cut files too (header and the first 300 or 1000 samples): the reader takes
# them as tests of the records they hold, and the analysis runs faster on them.
for f in samples/*.[oO][0-9][0-9]; do
  for n in 300 1000; do head -c $((1024 + 10 * n)) "$f" >"$work/pipeline/cut$n-$(basename "$f")"; done
done
cp fuzz/seeds/fuzz_well_import/* samples/wells.json "$work/wells/"
ASAN_OPTIONS=detect_leaks=0 build-fuzz/tavo-cli export -o "$work/exchange/seed.Txt" samples/*.[oO][0-9][0-9] >/dev/null

run() {
  local target=$1 corpus=$2 max_len=$3 log="$work/$1.log"
  local dirs=("$corpus")
  [ -d "fuzz/regressions/$target" ] && dirs+=("$PWD/fuzz/regressions/$target")
  echo "== fuzzing $target for ${SECONDS_EACH}s"
  # The targets' scratch folders go inside $work, removed on exit.
  if (cd "$work" && TMPDIR="$work/tmp" "$OLDPWD/build-fuzz/$target" -max_total_time="$SECONDS_EACH" \
        -max_len="$max_len" -artifact_prefix="$work/artifacts/$target-" -print_final_stats=1 \
        "${dirs[@]}" >"$log" 2>&1); then
    tail -n 12 "$log"
  else
    tail -n 80 "$log"
    return 1
  fi
}
status=0
# The reader and the analysis alone (fast), then the whole path of a click.
run fuzz_pipeline "$work/pipeline" 40000 || status=1
run fuzz_tester_file "$work/tester" 40000 || status=1
run fuzz_exchange "$work/exchange" 20000 || status=1
run fuzz_well_import "$work/wells" 20000 || status=1
run fuzz_downhole "$work/downhole" 20000 || status=1
if [ "$status" -ne 0 ] || compgen -G "$work/artifacts/*" >/dev/null; then
  mkdir -p fuzz-artifacts
  cp "$work"/artifacts/* fuzz-artifacts/ 2>/dev/null || true
  echo "error: the fuzzers found inputs that crash; kept in fuzz-artifacts/ (named after the target)." >&2
  echo "  Mend the fault, then commit each input under fuzz/regressions/<target>/ so that" >&2
  echo "  fuzz_replay_test replays it in every build." >&2
  exit 1
fi
echo "fuzz: no crash"
