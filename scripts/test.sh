#!/usr/bin/env bash
# Installs what is missing, then builds twice (normal, and with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs the whole test suite on both builds. The sanitizer
# tree builds (at a lower priority) while the normal tree's tests run; each tree is built
# whole and tested whole, and a failure in either fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
jobs=$(nproc)

echo "== normal build =="
bash scripts/build.sh build

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build (in the background) =="
mkdir -p build-asan
asan_log=build-asan/build.log
# In a process group of its own, so that a stopped script stops the whole build with it.
setsid nice -n 10 bash scripts/build.sh build-asan -DSELVANOR_SANITIZE=ON -DSELVANOR_BUILD_BENCH=OFF \
  >"$asan_log" 2>&1 &
asan_build=$!
trap 'kill -- -"$asan_build" 2>/dev/null || true' EXIT

echo "== normal tests =="
normal=0
(cd build && ctest --output-on-failure -j"$jobs") || normal=$?

asan=0
if wait "$asan_build"; then
  trap - EXIT
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer tests =="
  (cd build-asan && ctest --output-on-failure -j"$jobs") || asan=$?
else
  trap - EXIT
  asan=1
  tail -n 60 "$asan_log"
  echo "The sanitizer build failed (whole log: $asan_log)" >&2
fi

[ "$normal" -eq 0 ] || echo "Tests of the normal build failed" >&2
[ "$asan" -eq 0 ] || echo "The sanitizer build or its tests failed" >&2
[ "$normal" -eq 0 ] && [ "$asan" -eq 0 ]
