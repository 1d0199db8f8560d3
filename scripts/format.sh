#!/usr/bin/env bash
# Formats the C++ sources with clang-format (style in .clang-format).
# Usage: scripts/format.sh           rewrites the files in place
#        scripts/format.sh --check   changes nothing; lists the files that
#                                    differ and fails when there is one
# Covers every .cpp and .h file that git tracks or would track, except the
# generated ones (scripts/sources.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
CLANG_FORMAT=${CLANG_FORMAT:-clang-format}

check=0
case "${1:-}" in
  "") ;;
  --check) check=1 ;;
  *) echo "usage: scripts/format.sh [--check]" >&2; exit 2 ;;
esac

# Generated files (marked in .gitattributes) are left as their tool writes them.
mapfile -t files < <(scripts/sources.sh '*.cpp' '*.h')
if [ ${#files[@]} -eq 0 ]; then
  echo "format: no source files found" >&2
  exit 1
fi

if [ "$check" -eq 0 ]; then
  "$CLANG_FORMAT" -i --style=file "${files[@]}"
  exit 0
fi

# One run over all files; each difference is reported as FILE:LINE:COL: error.
if out=$("$CLANG_FORMAT" --dry-run --Werror --style=file "${files[@]}" 2>&1); then
  echo "format: ${#files[@]} files clean"
  exit 0
fi
mapfile -t bad < <(printf '%s\n' "$out" | sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: .*/\1/p' | sort -u)
if [ ${#bad[@]} -eq 0 ]; then
  printf '%s\n' "$out" >&2
  exit 1
fi
echo "format: ${#bad[@]} of ${#files[@]} files differ from .clang-format:" >&2
printf '  %s\n' "${bad[@]}" >&2
echo "  run scripts/format.sh to reformat them, then check the diff" >&2
exit 1
