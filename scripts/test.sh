#!/usr/bin/env bash
# Installs what is missing, then builds twice (normal, and with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs the whole test suite on both builds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== normal build =="
bash scripts/build.sh build
(cd build && ctest --output-on-failure -j"$(nproc)")

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build =="
bash scripts/build.sh build-asan -DSELVANOR_SANITIZE=ON -DSELVANOR_BUILD_BENCH=OFF
(cd build-asan && ctest --output-on-failure -j"$(nproc)")
