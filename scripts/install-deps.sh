#!/usr/bin/env bash
# Installs the Debian 12 packages Selvanor builds, tests and runs with (as root).
# Does nothing when everything is already there. With --fuzz, also clang and its
# libFuzzer runtime for scripts/fuzz.sh (the normal builds use g++ and do not need them);
# with --screens, the window manager and the locales scripts/screenshots.sh runs under.
set -euo pipefail
packages=(
  build-essential cmake pkg-config ccache
  libdb5.3-dev db5.3-util
  libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libqt6test6 libgl-dev qt6-translations-l10n
  fonts-nanum xvfb xauth
  desktop-file-utils appstream
)
case "${1:-}" in
  --fuzz) packages+=(clang libclang-rt-14-dev) ;;
  --screens) packages+=(openbox locales) ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Run as root (or with sudo) to install the packages above." >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
