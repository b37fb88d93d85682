#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (the normal builds stay on g++) and
# runs each for a given time.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]      default: 60 seconds, every target
#
# New inputs go to build-fuzz/corpus/TARGET, crashes to build-fuzz/artifacts/; the kept
# inputs in tests/fuzz_corpus/TARGET are read as seeds and replayed by `ctest -L fuzz-smoke`
# in the normal build. Copy an input worth keeping (a fixed crash) there by hand.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(analysis_line serial_detection tag_file homonym_source correction_list
           document_list settings codecs import_source)
fi
build="${SELVANOR_FUZZ_BUILD:-$root/build-fuzz}"

if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  "$root/scripts/install-deps.sh" --fuzz
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DSELVANOR_FUZZ=ON \
  -DSELVANOR_BUILD_TESTS=OFF -DSELVANOR_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
mkdir -p "$build/artifacts"
status=0
for t in "${targets[@]}"; do
  cmake --build "$build" -j"${JOBS:-1}" --target "fuzz_$t"
  mkdir -p "$build/corpus/$t"
  echo "== fuzz_$t for ${seconds}s"
  if ! "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -max_len=70000 -artifact_prefix="$build/artifacts/$t-" -print_final_stats=1 \
       "$build/corpus/$t" "$root/tests/fuzz_corpus/$t"; then
    echo "fuzz_$t found a failure; see $build/artifacts/" >&2
    status=1
  fi
done
exit $status
