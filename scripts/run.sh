#!/usr/bin/env bash
# Installs what is missing, builds, prepares the bundled sample workspace and runs the
# main job on it: build the sample document, show its first records and its tag check.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
cli=build/bin/selvanor-cli
ws=${SELVANOR_WORKSPACE:-build/sample-workspace}
mkdir -p "$ws"
cp data/tag.txt data/sample.txt data/sample-unnumbered.txt "$ws"/

echo "== Sample workspace: $ws =="
"$cli" build "$ws/sample.txt" "$ws/sample.id"
"$cli" build "$ws/sample-unnumbered.txt" "$ws/library.id" --prefix SVLIBR1
"$cli" export document "$ws/sample.id" "$ws/sample-export.txt"
echo "== First records of sample.id (serial, word, analysis) =="
head -n 12 "$ws/sample-export.txt" | iconv -f CP949 -t UTF-8
echo "== Tag check of sample.id against tag.txt =="
"$cli" check "$ws/sample.id" --tags "$ws/tag.txt"
