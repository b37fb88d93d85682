#!/usr/bin/env bash
# Installs what is missing, builds the two programs (and only what they link), prepares
# the bundled sample workspace and opens the workbench on it. With no display it says so
# and runs the same work headless: build the sample documents, show their first records
# and the tag check.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build selvanor selvanor-cli
ws=$(bash scripts/prepare-workspace.sh build/sample-workspace)
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Opening the workbench on $ws/분석문헌/sample.id"
  cd "$ws" && exec ./selvanor "분석문헌/sample.id"
fi

echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): the window cannot open here."
echo "Running the same work headless with selvanor-cli in $ws"
cli=build/bin/selvanor-cli
"$cli" export document "$ws/분석문헌/sample.id" "$ws/sample-export.txt"
echo "== First records of sample.id (serial, word, analysis) =="
head -n 12 "$ws/sample-export.txt" | iconv -f CP949 -t UTF-8
echo "== Tag check of sample.id against tag.txt =="
"$cli" check "$ws/분석문헌/sample.id" --tags "$ws/tag.txt"
echo "== Homonym dictionary: the senses of 시장 =="
"$cli" homonym lookup "$ws/homonyms.dic" "시장"
echo "== Auto-correction list applied to a copy of sample.id =="
cp "$ws/분석문헌/sample.id" "$ws/corrected.id"
"$cli" autocorrect "$ws/corrected.id" "$ws/sujeong.txt"
echo "== Reference file of sample.id, and the records that hold 시장은 =="
"$cli" reference build "$ws/분석문헌/sample.id"
"$cli" reference lookup "$ws/분석문헌/sample.idx" "시장은"
echo "== Statistics over the sample group: vocabulary and tags, most frequent first =="
"$cli" stats --type 2 --tags "$ws/tag.txt" --out "$ws/stats-report.txt" --list "$ws/dblist.dat" \
  --options 11110000310 --build-missing
head -n 16 "$ws/stats-report.txt" | iconv -f CP949 -t UTF-8
echo "== Analysis review of sample.id: words analysed in more than one way =="
"$cli" review "$ws/분석문헌/sample.id" --out "$ws/review.txt"
head -n 8 "$ws/review.txt" | iconv -f CP949 -t UTF-8
