#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) on the core's sources with the
# compile commands of a configured build; fails on any finding.
# Usage: scripts/tidy.sh [BUILD_DIR]   (default build; configured when needed)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
JOBS=${JOBS:-$(nproc)}
CLANG_TIDY=${CLANG_TIDY:-clang-tidy}

if [ ! -f "$BUILD/compile_commands.json" ]; then
  cmake -S . -B "$BUILD" -G Ninja >/dev/null
fi

dirs=()
for d in common record analysis views exchange condition downhole; do
  [ -d "$d" ] && dirs+=("$d")
done
mapfile -t files < <(find "${dirs[@]}" -name '*.cpp' ! -name card_model_data.cpp | sort)
echo "tidy: ${#files[@]} files of ${dirs[*]}"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
# One clang-tidy per file, JOBS at a time; each file's findings stay together.
if printf '%s\n' "${files[@]}" |
     xargs -P "$JOBS" -I{} sh -c '"$1" -p "$2" --quiet "$3" >"$4.$$.out" 2>&1; rc=$?; cat "$4.$$.out"; rm -f "$4.$$.out"; exit $rc' \
       _ "$CLANG_TIDY" "$BUILD" {} "$log" >"$log" 2>&1; then
  echo "tidy: clean"
  exit 0
fi
grep -v -e '^[0-9]* warnings\? generated\.$' -e '^[0-9]* warnings\? and [0-9]* errors\? generated\.$' \
  -e '^Suppressed [0-9]* warnings' -e '^Use -header-filter=' -e '^Error while processing' "$log" >&2 || true
echo "tidy: findings above (checks in .clang-tidy; a finding that is no fault may be" >&2
echo "  silenced at its line with // NOLINT(check-name): reason)" >&2
exit 1
