#!/usr/bin/env bash
# Builds the offline page and the command line in WebAssembly with Debian's
# emscripten (installed when missing) into build-web/:
#   build-web/tavo.html                 the page to open (with tavo-page.js and
#                                       tavo-app.js beside it)
#   build-web/tavo-web-VERSION.zip      the same three files for the release
#   build-web/tavo-cli.js/.wasm         the command line, run with node
# Usage: scripts/build-web.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build-web}

need=()
command -v emcmake >/dev/null 2>&1 || need+=(emscripten)
command -v node >/dev/null 2>&1 || need+=(nodejs)
for p in nlohmann-json3-dev libcli11-dev cmake ninja-build; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "error: missing Debian packages: sudo apt-get install ${need[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

# emscripten's tools run under node and look for their modules here when the
# node on the PATH is not Debian's.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
# Its cache of system libraries: Debian's package ships most of them
# prebuilt; those of the WebAssembly exceptions are built there on first use.
# Without the right to write there, a copy in the build folder serves.
if [ -z "${EM_CACHE:-}" ] && [ ! -w /usr/share/emscripten/cache ]; then
  export EM_CACHE=$PWD/$out/em-cache
  if [ ! -d "$EM_CACHE" ]; then
    mkdir -p "$out"
    cp -r /usr/share/emscripten/cache "$EM_CACHE"
  fi
fi

if [ ! -f "$out/build.ninja" ]; then
  emcmake cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVO_WERROR=ON
fi
cmake --build "$out" --target tavo-cli tavo-page tavo-page-zip
echo "The page: $out/tavo.html; for the release: $(ls "$out"/tavo-web-*.zip)"
