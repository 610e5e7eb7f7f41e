#!/usr/bin/env bash
# The Debian package as a user gets it: made by CPack from this build, installed with dpkg -i, run
# from the installed paths in a bare environment (version, a demo folder, headless summaries over
# the demo and over the Jet files of the "edge" set, the answer of the window without a display),
# then removed with dpkg --purge.
#
#   deb_install_test.sh BUILD_DIR SOURCE_DIR VERSION
#
# Needs root and dpkg; without them it is skipped (status 77). The package never outlives the
# test: it is purged on every exit, and a package left by a run that was killed outright is
# recognised by its marker file and purged by the next run. A package named ovdesk that this
# test did not install is left alone (the test is skipped).
set -euo pipefail
build=$1
source=$2
version=$3
app_id=io.github.ovdesk.ovdesk
marker=/var/lib/ovdesk-deb-test.installed

skip() {
  echo "SKIPPED: $*"
  exit 77
}
fail() {
  echo "FAIL: $*"
  exit 1
}
present() {
  local status
  status=$(dpkg-query -W -f='${db:Status-Status}' ovdesk 2>/dev/null) || return 1
  [ -n "$status" ] && [ "$status" != not-installed ]
}

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root; run the tests as root to include this one"
command -v dpkg >/dev/null && command -v dpkg-deb >/dev/null || skip "dpkg is not available on this machine"

if present; then
  [ -f "$marker" ] || skip "a package named ovdesk is installed here and this test did not install it"
  echo "purging the package a killed run left behind"
  dpkg --purge ovdesk >/dev/null
fi

work=$(mktemp -d)
cleanup() {
  local status=$?
  trap - EXIT
  if [ -f "$marker" ]; then
    dpkg --purge ovdesk >"$work/purge.log" 2>&1 || cat "$work/purge.log"
    if present; then
      echo "FAIL: the package is still installed after dpkg --purge"
      status=1
    else
      rm -f "$marker"
    fi
  fi
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# A bare environment: no variable of the build or of the test runner reaches the program.
bare() { env -i PATH=/usr/bin:/bin HOME="$work" LANG=C.UTF-8 "$@"; }

# --- the package --------------------------------------------------------------------------------
timeout 300 cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack could not make the package"; }
deb=$(ls "$work"/package/ovdesk_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes, Installed-Size $(dpkg-deb -f "$deb" Installed-Size) KiB"
echo "Depends: $depends"
# One package name a line, versions and alternatives taken apart.
depended=$(sed -E 's/ \([^)]*\)//g; s/ *[,|] */\n/g' <<<"$depends")
for needed in libmdb3 libqt6widgets6 libqt6printsupport6 libqt6gui6 libqt6core6 libsqlite3-0 libstdc++6 qt6-qpa-plugins libcups2; do
  grep -q -x -F "$needed" <<<"$depended" || fail "Depends lacks $needed"
done

# --- installed ----------------------------------------------------------------------------------
touch "$marker"
timeout 120 dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i failed"; }
present || fail "dpkg -i did not install the package"
# The package's files where a desktop looks for them. (Slim systems may tell dpkg to skip manual
# pages: the manual page is looked for in the package's list, the others on disk too.)
listed=$(dpkg -L ovdesk)
for f in /usr/bin/ovdesk /usr/libexec/ovdesk/ovdesk-mdbread /usr/libexec/ovdesk/ovdesk-qt.so /usr/share/applications/$app_id.desktop \
         /usr/share/metainfo/$app_id.metainfo.xml /usr/share/icons/hicolor/scalable/apps/ovdesk.svg \
         /usr/share/icons/hicolor/48x48/apps/ovdesk.png /usr/share/man/man1/ovdesk.1.gz; do
  grep -q -x -F "$f" <<<"$listed" || fail "$f is not in the package"
  [ -f "$f" ] || [ "${f#/usr/share/man/}" != "$f" ] || fail "$f is not installed"
done

[ "$(bare /usr/bin/ovdesk --version)" = "ovdesk $version" ] || fail "ovdesk --version: $(bare /usr/bin/ovdesk --version)"

# The demo folder, summarised by the installed program and by the build's: the same print file.
for who in installed build; do
  program=/usr/bin/ovdesk
  [ "$who" = build ] && program="$build/ovdesk"
  bare "$program" demo "$work/demo-$who" --today 15/02/2024 >/dev/null || fail "$who: ovdesk demo"
  bare PCLocal=1 "$program" summary --folder "$work/demo-$who" --from 01/01/2024 --to 31/01/2024 --show \
    >"$work/demo-$who.out" || fail "$who: summary of the demo"
done
grep -q 'RIEPILOGO DATI HOTEL DAL 01/01/2024 AL 31/01/2024' "$work/demo-installed.out" || fail "the demo summary has no heading"
cmp "$work/demo-installed/fd1" "$work/demo-build/fd1" || fail "installed and build programs wrote different demo summaries"
cmp "$work/demo-installed/Orvalis.csv" "$work/demo-build/Orvalis.csv" || fail "different demo Orvalis.csv"

# Real Jet files: the installed program reads them through the installed helper (a program outside
# the build tree never uses the build's helper).
for who in installed build; do
  program=/usr/bin/ovdesk
  [ "$who" = build ] && program="$build/ovdesk"
  cp -r "$source/tests/fixtures/edge/work" "$work/edge-$who"
  chmod -R u+w "$work/edge-$who"
  bare PCLocal=1 "$program" summary --folder "$work/edge-$who" --from 10/01/2024 --to 10/01/2024 \
    --first-room 10 --last-room 199 >"$work/edge-$who.out" 2>&1 ||
    { cat "$work/edge-$who.out"; fail "$who: summary of the edge set"; }
done
grep -a -q ' 710,00' "$work/edge-installed/fd1" || fail "the edge summary lacks the deposits of 10/01 (710,00)"
cmp "$work/edge-installed/fd1" "$work/edge-build/fd1" || fail "installed and build programs read the Jet files differently"

# Charts come from the installed Qt module, which only they (and the windows and driver printing) load.
bare /usr/bin/ovdesk chart --folder "$work/demo-installed" --from 01/01/2024 --to 31/01/2024 --out "$work/chart.png" \
  >/dev/null || fail "installed: ovdesk chart"
[ "$(head -c 8 "$work/chart.png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "the installed chart is not a PNG"

# A first run without PCLocal says which workstation number it uses, and its files match.
bare /usr/bin/ovdesk summary --folder "$work/demo-installed" --from 01/01/2024 --to 31/01/2024 \
  >/dev/null 2>"$work/notice.err" || fail "summary without PCLocal"
grep -q 'PCLocal non è impostata' "$work/notice.err" || fail "no notice without PCLocal: $(cat "$work/notice.err")"
cmp "$work/demo-installed/fd0" "$work/demo-installed/fd1" || fail "the summary without PCLocal differs"

# The window without a display: an Italian explanation naming the headless commands, status 1.
status=0
bare /usr/bin/ovdesk --folder "$work/demo-installed" >/dev/null 2>"$work/window.err" || status=$?
[ "$status" -eq 1 ] || fail "the window without a display ended with status $status"
grep -q 'nessuno schermo disponibile' "$work/window.err" || fail "no-display message: $(cat "$work/window.err")"
grep -q 'summary' "$work/window.err" || fail "the no-display message names no command"

# --- removed ------------------------------------------------------------------------------------
timeout 120 dpkg --purge ovdesk >"$work/purge.log" 2>&1 || { cat "$work/purge.log"; fail "dpkg --purge failed"; }
present && fail "the package is still known to dpkg after --purge"
[ ! -e /usr/bin/ovdesk ] && [ ! -e /usr/libexec/ovdesk ] || fail "files left after --purge"
rm -f "$marker"
echo "installed, ran and removed $(basename "$deb")"
