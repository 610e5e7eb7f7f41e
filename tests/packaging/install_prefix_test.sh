#!/usr/bin/env bash
# "cmake --install" under a prefix of the test's own: the layout a desktop expects, and a program
# that reads Jet files through the helper installed beside it and draws charts through its Qt
# module, also after the whole prefix has been moved elsewhere (both are found from the program's
# own folder). Without the module the headless reports still run. Needs no root.
#
#   install_prefix_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }
for f in bin/ovdesk libexec/ovdesk/ovdesk-mdbread libexec/ovdesk/ovdesk-qt.so share/applications/io.github.ovdesk.ovdesk.desktop \
         share/metainfo/io.github.ovdesk.ovdesk.metainfo.xml share/man/man1/ovdesk.1.gz \
         share/icons/hicolor/scalable/apps/ovdesk.svg share/icons/hicolor/16x16/apps/ovdesk.png \
         share/icons/hicolor/256x256/apps/ovdesk.png; do
  [ -f "$work/prefix/$f" ] || fail "$f is not installed"
done
[ -x "$work/prefix/libexec/ovdesk/ovdesk-mdbread" ] || fail "the helper is not executable"

query() { env -i PATH=/usr/bin:/bin "$1" query --folder "$source/tests/fixtures/edge/work" ColonneOV.mdb ColonneOV; }
expected=$(query "$build/ovdesk")
[ -n "$expected" ] || fail "the build's program read nothing"
[ "$(query "$work/prefix/bin/ovdesk")" = "$expected" ] || fail "the installed program reads the Jet file differently"
mv "$work/prefix" "$work/moved"
[ "$(query "$work/moved/bin/ovdesk")" = "$expected" ] || fail "the moved installation does not find its helper"
chart() {
  env -i PATH=/usr/bin:/bin HOME="$work" "$1" chart --folder "$source/tests/fixtures/edge/work" \
    --from 01/01/2024 --to 31/01/2024 --out "$work/$2"
}
chart "$work/moved/bin/ovdesk" moved.png >/dev/null || fail "the moved installation draws no chart"
[ "$(head -c 8 "$work/moved.png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "the chart is not a PNG"

# The main window opens through the installed module (offscreen) and stays open until closed.
status=0
env -i PATH=/usr/bin:/bin HOME="$work" QT_QPA_PLATFORM=offscreen \
  timeout 3 "$work/moved/bin/ovdesk" --folder "$source/tests/fixtures/edge/work" >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "the main window ended with status $status instead of staying open"

# Without the module: the reports that need no window still run; a chart says what is missing.
rm "$work/moved/libexec/ovdesk/ovdesk-qt.so"
[ "$(query "$work/moved/bin/ovdesk")" = "$expected" ] || fail "the query needed the Qt module"
status=0
chart "$work/moved/bin/ovdesk" missing.png >/dev/null 2>"$work/missing.err" || status=$?
[ "$status" -eq 1 ] || fail "a chart without the module ended with status $status"
grep -q "Impossibile trovare il file 'ovdesk-qt.so'" "$work/missing.err" || fail "no message naming the module: $(cat "$work/missing.err")"
[ ! -e "$work/missing.png" ] || fail "a chart file was written without the module"

rm "$work/moved/libexec/ovdesk/ovdesk-mdbread"
if query "$work/moved/bin/ovdesk" >/dev/null 2>&1; then fail "read a Jet file without its installed helper"; fi
echo "installed under a prefix, moved, read the Jet file through the installed helper and drew a chart through the installed module"
