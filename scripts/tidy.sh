#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) on the project's own sources (the
# core, the well database, the summaries and report, the Qt drawing, the
# window and the command line) with the compile commands of a configured
# build; fails on any finding. Generated files are left out (scripts/sources.sh).
# Usage: scripts/tidy.sh [BUILD_DIR]   (default build; configured when needed)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
JOBS=${JOBS:-$(nproc)}
CLANG_TIDY=${CLANG_TIDY:-clang-tidy}

if [ ! -f "$BUILD/compile_commands.json" ]; then
  cmake -S . -B "$BUILD" -G Ninja >/dev/null
fi

dirs=(common record analysis views exchange condition well welldb downhole session summary report qtdraw app cli)
patterns=()
for d in "${dirs[@]}"; do patterns+=("$d/*.cpp"); done
mapfile -t all < <(scripts/sources.sh "${patterns[@]}")
# Only what this build compiles (the window's files need a build with it).
files=()
for f in "${all[@]}"; do
  grep -qF "/$f\"" "$BUILD/compile_commands.json" && files+=("$f")
done
echo "tidy: ${#files[@]} files of ${dirs[*]}"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
# One clang-tidy per file, JOBS at a time; each file's findings stay together.
# The compile commands are GCC's: clang is told to pass over the GCC-only
# warning options and, as the clang build does, the sign changes that its
# -Wconversion adds.
if printf '%s\n' "${files[@]}" |
     xargs -P "$JOBS" -I{} sh -c '"$1" -p "$2" --quiet --extra-arg=-Wno-unknown-warning-option --extra-arg=-Wno-sign-conversion "$3" >"$4.$$.out" 2>&1; rc=$?; cat "$4.$$.out"; rm -f "$4.$$.out"; exit $rc' \
       _ "$CLANG_TIDY" "$BUILD" {} "$log" >"$log" 2>&1; then
  echo "tidy: clean"
  exit 0
fi
grep -v -e '^[0-9]* warnings\? generated\.$' -e '^[0-9]* warnings\? and [0-9]* errors\? generated\.$' \
  -e '^Suppressed [0-9]* warnings' -e '^Use -header-filter=' -e '^Error while processing' "$log" >&2 || true
echo "tidy: findings above (checks in .clang-tidy; a finding that is no fault may be" >&2
echo "  silenced at its line with // NOLINT(check-name): reason)" >&2
exit 1
