#!/usr/bin/env bash
# Pictures of the workbench's windows on the bundled sample workspace, at 1600x1000 and at
# 1024x700, on a virtual X display with a real window manager (openbox: title bars and
# frames as on a desktop) and the ko_KR.UTF-8 locale (Korean dates in the choosers): the
# main window, each dictionary page, the editor, the search window over a found row, the
# corpus manager, the homonym correction pair, the statistics dialogs and the small
# dialogs, the 편집 and 도움말 menus open, the user guide, the status bar with the
# record's position and a progress dialog half way through a long build.
#   scripts/screenshots.sh [--guide] [OUTDIR]      (default OUTDIR: build/screens)
# With --guide, the pictures the user guide shows are copied to docs/guide/images/.
# Installs openbox and locales when missing (as root); builds the selvanor_screens tool.
set -euo pipefail
cd "$(dirname "$0")/.."
guide=0
if [ "${1:-}" = "--guide" ]; then guide=1; shift; fi
out=$(mkdir -p "${1:-build/screens}" && cd "${1:-build/screens}" && pwd)
bash scripts/install-deps.sh --screens
if ! locale -a 2>/dev/null | grep -qix 'ko_KR.utf8'; then
  [ "$(id -u)" -eq 0 ] || { echo "Run as root once to generate the ko_KR.UTF-8 locale." >&2; exit 1; }
  sed -i 's/^# *\(ko_KR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ko_KR.UTF-8 UTF-8' /etc/locale.gen || echo 'ko_KR.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
tool=build/bin/selvanor_screens
bash scripts/build.sh build selvanor selvanor-cli selvanor_screens >/dev/null
for size in 1600x1000 1024x700; do
  # A fresh workspace and profile for each size: the pictures never depend on an earlier run.
  ws=$(bash scripts/prepare-workspace.sh "build/screens-workspace-$size")
  build/bin/selvanor-cli reference build "$ws/분석문헌/sample.id" >&2
  export XDG_CONFIG_HOME="$ws/.config"
  # A Korean desktop: the choosers' dates follow the system's locale.
  export LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8
  rm -rf "$XDG_CONFIG_HOME"
  xvfb-run -a -s "-screen 0 ${size}x24" bash -c '
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    sleep 1
    "$0" "$1" "$2" "$3"
    status=$?
    kill "$wm" 2>/dev/null
    exit $status' "$tool" "$ws" "$out" "$size"
done
if [ "$guide" -eq 1 ]; then
  mkdir -p docs/guide/images
  rm -f docs/guide/images/*.png
  # The pictures the guide's pages name, from the smaller screen, without the running number.
  for name in $(grep -oh 'images/[a-z0-9-]*\.png' docs/guide/*.md | sort -u); do
    shot=$(ls "$out"/1024x700-*-"$(basename "$name")" 2>/dev/null | head -n 1)
    [ -n "$shot" ] || { echo "No picture for docs/guide/$name" >&2; exit 1; }
    cp "$shot" "docs/guide/$name"
  done
  echo "Guide pictures in docs/guide/images"
fi
echo "Pictures in $out"
