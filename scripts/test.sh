#!/usr/bin/env bash
# Checks the formatting, builds everything and runs every test: once
# normally, then the WebAssembly build and the page in headless Chromium
# against the desktop, then clang-tidy on the core, once with the sanitizers
# (AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer, the window
# tests included), then the fuzzers for a short while. Warnings are errors.
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

echo "== clang-tidy on the core"
scripts/tidy.sh build

echo "== build and test everything with AddressSanitizer and UndefinedBehaviorSanitizer"
# The library's own checks catch out-of-range indexing of std::array and
# std::vector, which AddressSanitizer cannot see in thread-local arrays.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVO_SANITIZE=ON -DTAVO_BUILD_APP=ON \
  -DTAVO_BUILD_BENCH=OFF -DTAVO_WERROR=ON -DCMAKE_CXX_FLAGS=-D_GLIBCXX_ASSERTIONS >/dev/null
cmake --build build-asan -j "$JOBS"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 QT_QPA_PLATFORM=offscreen \
  ctest --test-dir build-asan --output-on-failure -j "$JOBS"

echo "== fuzz the tester-file and exchange-text readers"
scripts/fuzz.sh "${FUZZ_SECONDS:-60}"
