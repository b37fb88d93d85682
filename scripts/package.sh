#!/usr/bin/env bash
# Builds the Debian package selvanor_VERSION_amd64.deb in the checkout's top folder:
# the two programs built in build-package/ for /usr (no tests, no benchmarks), installed
# by CPack with the desktop entry, icons, metainfo, manual pages, completion, sample
# workspace and user guide. The dependencies come from the linked shared libraries
# (dpkg-shlibdeps). Runs lintian on it when lintian is installed and fails on an error.
#   scripts/package.sh          then: apt-get install ./selvanor_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build-package -DCMAKE_INSTALL_PREFIX=/usr \
  -DSELVANOR_BUILD_TESTS=OFF -DSELVANOR_BUILD_BENCH=OFF
(cd build-package && cpack -G DEB >/dev/null)
deb=$(ls build-package/selvanor_*_*.deb)
mv -f "$deb" .
deb=$(basename "$deb")
echo "Package: $PWD/$deb"
if command -v lintian >/dev/null; then
  echo "== lintian =="
  # Errors fail the build; the warnings that stay are explained in the README.
  lintian --tag-display-limit 0 "$deb" | tee build-package/lintian.txt || true
  if grep -q '^E:' build-package/lintian.txt; then
    echo "lintian found errors" >&2
    exit 1
  fi
fi
