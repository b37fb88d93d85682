#!/usr/bin/env bash
# Lays out a sample workspace in the folder given: the workbench program with its
# settings file and tag file beside it, the sample documents built into 분석문헌/, and a
# document list. Prints the workspace's absolute path.
set -euo pipefail
cd "$(dirname "$0")/.."
ws=${1:-build/sample-workspace}
mkdir -p "$ws/분석문헌"
ws=$(cd "$ws" && pwd)
cli=build/bin/selvanor-cli
cp data/tag.txt "$ws/tag.txt"
cp data/sample.txt data/sample-unnumbered.txt "$ws/"
[ -x build/bin/selvanor ] && cp build/bin/selvanor "$ws/selvanor"
"$cli" build "$ws/sample.txt" "$ws/분석문헌/sample.id" >&2
"$cli" build "$ws/sample-unnumbered.txt" "$ws/분석문헌/library.id" --prefix SVLIBR1 >&2
# The document list: a group, then its documents (CP949 text).
printf '1%s\n2%s\n2%s\n' "표본 문헌" "$ws/분석문헌/sample.id" "$ws/분석문헌/library.id" |
  iconv -f UTF-8 -t CP949 > "$ws/dblist.dat"
echo "$ws"
