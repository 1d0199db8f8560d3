#!/usr/bin/env bash
# Checks the formatting, builds everything and runs every test: once
# normally, then the WebAssembly build and the page in headless Chromium
# against the desktop, then clang-tidy on the project's sources, the core
# and its tests built with clang++, everything once with the sanitizers
# (AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer, the window
# tests included; options in CMakePresets.json), then the fuzzers for a short
# while. Warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
JOBS=${JOBS:-$(nproc)}

echo "== formatting"
scripts/format.sh --check

echo "== build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVO_WERROR=ON >/dev/null
cmake --build build -j "$JOBS"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$JOBS"

echo "== the page and the WebAssembly build against the desktop"
scripts/test-web.sh build

echo "== clang-tidy"
scripts/tidy.sh build

echo "== the core and its tests built with clang++"
cmake --preset clang-core >/dev/null
cmake --build --preset clang-core -j "$JOBS"
ctest --preset clang-core -j "$JOBS"

echo "== build and test everything with AddressSanitizer and UndefinedBehaviorSanitizer"
# The library's own checks (-D_GLIBCXX_ASSERTIONS in the preset) catch
# out-of-range indexing of std::array members, which AddressSanitizer
# cannot see inside one object.
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$JOBS"
ctest --preset asan -j "$JOBS"

echo "== fuzz the tester-file and exchange-text readers"
scripts/fuzz.sh "${FUZZ_SECONDS:-60}"
