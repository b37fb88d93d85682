#!/usr/bin/env bash
# Pictures of the workbench's windows on the bundled sample workspace, at 1600x1000 and at
# 1024x700, under a virtual X display: the main window, each dictionary page, the editor,
# the search window over a found row, the corpus manager, the homonym correction pair, the
# statistics dialogs and the small dialogs, the 편집 menu open, the status bar with the
# record's position and a progress dialog half way through a long build. Usage: scripts/screenshots.sh [OUTDIR]
# (default build/screens). Needs a build (scripts/build.sh) with the selvanor_screens tool.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(mkdir -p "${1:-build/screens}" && cd "${1:-build/screens}" && pwd)
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (apt-get install xvfb xauth)" >&2; exit 1; }
tool=build/bin/selvanor_screens
[ -x "$tool" ] || cmake --build build -j1 --target selvanor_screens
for size in 1600x1000 1024x700; do
  # A fresh workspace and profile for each size: the pictures never depend on an earlier run.
  ws=$(bash scripts/prepare-workspace.sh "build/screens-workspace-$size")
  build/bin/selvanor-cli reference build "$ws/분석문헌/sample.id" >&2
  export XDG_CONFIG_HOME="$ws/.config"
  # A Korean desktop: the choosers' dates follow the system's locale.
  export LANG=ko_KR.UTF-8
  rm -rf "$XDG_CONFIG_HOME"
  xvfb-run -a -s "-screen 0 ${size}x24" "$tool" "$ws" "$out" "$size"
done
echo "Pictures in $out"
