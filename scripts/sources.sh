#!/usr/bin/env bash
# Lists the project's own C++ sources, one a line, sorted: the files git
# tracks, or would track, that match the path patterns given (default: every
# .cpp and .h file). Files that .gitattributes marks linguist-generated are
# left out: written by a tool, they stay as the tool writes them. This is
# the one list of them that the formatting and the static checks share.
# Usage: scripts/sources.sh [PATHSPEC...]   e.g. 'app/*.cpp'
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -eq 0 ] && set -- '*.cpp' '*.h'
git -c core.quotepath=off ls-files --cached --others --exclude-standard -- "$@" | sort -u |
  git -c core.quotepath=off check-attr --stdin linguist-generated |
  sed -n 's/^\(.*\): linguist-generated: \(unspecified\|unset\)$/\1/p'
