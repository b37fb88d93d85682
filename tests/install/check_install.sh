#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a user's desktop gets:
# both programs run from there (the window offscreen), the installed sample builds into
# a document that the installed tag file checks, the desktop entry and the metainfo
# validate, and every icon size, manual page and the completion are in place.
#   check_install.sh BUILD_DIR PREFIX
set -euo pipefail
build=$1
prefix=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home" XDG_CACHE_HOME="$scratch/cache" XDG_CONFIG_HOME="$scratch/config"
mkdir -p "$HOME"
root="$scratch/root"
DESTDIR="$root" cmake --install "$build" --prefix "$prefix" >/dev/null
bin="$root$prefix/bin"
share="$root$prefix/share"

fail() { echo "FAIL: $*" >&2; exit 1; }

[ "$("$bin/selvanor-cli" --version)" = "selvanor-cli 0.1.0" ] || fail "selvanor-cli --version"
QT_QPA_PLATFORM=offscreen "$bin/selvanor" --version | grep -q '^selvanor ' || fail "selvanor --version"

sample="$share/selvanor/sample"
"$bin/selvanor-cli" build "$sample/sample.txt" "$scratch/sample.id" >/dev/null
"$bin/selvanor-cli" export document "$scratch/sample.id" "$scratch/sample.txt" >/dev/null
# A copy the program did not write is verified by the installed verifier.
cp "$scratch/sample.id" "$scratch/copied.id"
[ "$("$bin/../libexec/selvanor/selvanor-verify" "$scratch/copied.id")" = "lsn 0" ] || fail "the installed verifier"
[ -s "$scratch/sample.txt" ] ||
  fail "the sample document is empty"
"$bin/selvanor-cli" tags "$share/selvanor/tag.txt" >/dev/null || fail "the installed tag file"

desktop="$share/applications/org.selvanor.Selvanor.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -q '^Exec=selvanor %f$' "$desktop" || fail "the desktop entry does not open a document"
appstreamcli validate --no-net "$share/metainfo/org.selvanor.Selvanor.metainfo.xml" >/dev/null ||
  fail "appstreamcli validate"

for size in 16 22 24 32 48 64 128 256; do
  [ -s "$share/icons/hicolor/${size}x${size}/apps/selvanor.png" ] || fail "icon ${size}x${size}"
done
[ -s "$share/icons/hicolor/scalable/apps/selvanor.svg" ] || fail "scalable icon"
[ -s "$share/mime/packages/selvanor.xml" ] || fail "document type"
for page in man1/selvanor.1 man1/selvanor-cli.1 ko/man1/selvanor.1; do
  ls "$share/man/$page"* >/dev/null 2>&1 || fail "manual page $page"
done
bash -n "$share/bash-completion/completions/selvanor-cli" || fail "completion"
[ -s "$share/selvanor/guide/index.md" ] || fail "user guide"
echo "installed layout under $prefix checked"
