#!/usr/bin/env bash
# Configures and builds into the folder given (default: build).
#   scripts/build.sh [DIR] [TARGET...] [-DCMAKE_OPTION...]
# With targets, only they and what they link are built; otherwise everything (tests and
# benchmarks included). Arguments beginning with "-" go to cmake. ccache, when
# installed, is shared by every tree of this checkout.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
targets=()
options=()
for a in "$@"; do
  case "$a" in -*) options+=("$a") ;; *) targets+=("$a") ;; esac
done
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${options[@]+"${options[@]}"} >/dev/null
if [ ${#targets[@]} -gt 0 ]; then
  cmake --build "$dir" -j"${JOBS:-$(nproc)}" --target "${targets[@]}"
else
  cmake --build "$dir" -j"${JOBS:-$(nproc)}"
fi
