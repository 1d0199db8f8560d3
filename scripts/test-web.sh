#!/usr/bin/env bash
# The page and the WebAssembly build against the desktop: builds build-web/
# (scripts/build-web.sh), compares the WebAssembly command line under node
# with the native tavo-cli byte for byte (web/compare_native.sh), then opens
# the page in headless Chromium (web/test/page_test.js): views against the
# desktop's pictures, a damaged file, the export's bytes, and the speed
# figures. Installs chromium and puppeteer-core (npm; it never downloads a
# browser) when missing.
# Usage: scripts/test-web.sh [NATIVE_BUILD]   (default build: a build with the
#        window, whose tavo-cli draws the desktop's pictures)
set -euo pipefail
cd "$(dirname "$0")/.."
native=${1:-build}
out=build-web

if ! command -v chromium >/dev/null 2>&1; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "error: chromium is missing: sudo apt-get install chromium" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends chromium
fi

scripts/build-web.sh "$out"
cmake --build "$native" --target tavo-cli make_samples

echo "== the WebAssembly command line against the native one"
web/compare_native.sh "$native" "$out" "${WEB_CORPUS:-40}"

echo "== the page in headless Chromium"
mkdir -p "$out/web-test"
cp web/test/package.json web/test/page_test.js "$out/web-test/"
if [ ! -d "$out/web-test/node_modules/puppeteer-core" ]; then
  (cd "$out/web-test" && PUPPETEER_SKIP_DOWNLOAD=1 npm install --no-audit --no-fund --loglevel=error)
fi
# The page as the release's zip gives it: unpacked elsewhere, the same three
# files, opened from there.
rm -rf "$out/web-test/release"
mkdir -p "$out/web-test/release"
(cd "$out/web-test/release" && cmake -E tar xf "$(ls ../../tavo-web-*.zip)")
for f in tavo.html tavo-page.js tavo-app.js; do
  cmp "$out/$f" "$out/web-test/release/tavo-web/$f"
done
QT_QPA_PLATFORM=offscreen node "$out/web-test/page_test.js" "$out/web-test/release/tavo-web" "$native" samples \
  "$out/web-test/shots" "${WEB_EXPORT_COUNT:-1000}"
