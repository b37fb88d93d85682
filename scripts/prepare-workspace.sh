#!/usr/bin/env bash
# Lays out a sample workspace in the folder given: the workbench program with its
# settings file and tag file beside it, the sample documents built into 분석문헌/, a
# document list, the homonym and unregistered-word dictionaries and the auto-correction
# list. Prints the workspace's absolute path.
set -euo pipefail
cd "$(dirname "$0")/.."
ws=${1:-build/sample-workspace}
mkdir -p "$ws/분석문헌"
ws=$(cd "$ws" && pwd)
cli=build/bin/selvanor-cli
cp data/tag.txt "$ws/tag.txt"
cp data/sample.txt data/sample-unnumbered.txt data/homonyms.txt data/sujeong.txt "$ws/"
[ -x build/bin/selvanor ] && cp build/bin/selvanor "$ws/selvanor"
"$cli" build "$ws/sample.txt" "$ws/분석문헌/sample.id" >&2
"$cli" build "$ws/sample-unnumbered.txt" "$ws/분석문헌/library.id" --prefix SVLIBR1 >&2
# The document list: a group, then its documents (CP949 text).
printf '1%s\n2%s\n2%s\n' "표본 문헌" "$ws/분석문헌/sample.id" "$ws/분석문헌/library.id" |
  iconv -f UTF-8 -t CP949 > "$ws/dblist.dat"
"$cli" homonym build "$ws/homonyms.txt" >&2
rm -f "$ws/unregistered.mdj"
"$cli" unregistered add "$ws/unregistered.mdj" "갈치조림" "분석기 사전에 없음: 갈치/NNG + 조림/NNG" >&2
"$cli" unregistered add "$ws/unregistered.mdj" "고등어구이" "분석기 사전에 없음" >&2
# The settings file beside the program names the dictionaries (CP949, like every text).
if [ ! -e "$ws/selvanor.INI" ]; then
  printf '[%s]\n%s=%s\n%s=%s\n%s=%s\n' "사전이름" \
    "동음어" "$ws/homonyms.dic" "미등재어" "$ws/unregistered.mdj" \
    "참조파일" "$ws/분석문헌/sample.idx" | iconv -f UTF-8 -t CP949 > "$ws/selvanor.INI"
fi
echo "$ws"
