#!/usr/bin/env bash
# The manual page covers what the program offers: a subsection for every command of
# "ovdesk --help", every option those commands take, the environment variables, the version;
# and groff reads it without a warning.
set -euo pipefail
ovdesk=$1
page=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

help=$("$ovdesk" --help)
commands=$(printf '%s\n' "$help" | sed -n -E 's/^  ([a-z][-a-z]*)( .*)?$/\1/p')
[ -n "$commands" ] || fail "no command found in ovdesk --help"
for c in $commands; do
  grep -q -E "^\.SS \"$c( |\")" "$page" || fail "command '$c' has no subsection (.SS \"$c ...\") under COMANDI"
done
for option in $(printf '%s\n' "$help" | grep -o -E -- '--[a-z][-a-z]*' | sort -u); do
  grep -q -F -- "${option//-/\\-}" "$page" || fail "option $option is not described"
done
for variable in PCLocal DIRSH OVDESK_MDBREAD OVDESK_QT_MODULE OVDESK_MDBREAD_TIMEOUT; do
  grep -q -E "^\.B $variable$" "$page" || fail "environment variable $variable is not described under AMBIENTE"
done
grep -q 'variabili delle stampanti logiche' "$page" || fail "the destination variables are not described"

version=$("$ovdesk" --version)
grep -q -F "\"$version\"" "$page" || fail "the .TH line does not name \"$version\""

warnings=$(LC_ALL=C.UTF-8 groff -k -man -Tutf8 -ww -z "$page" 2>&1)
[ -z "$warnings" ] || fail "groff: $warnings"

[ "$failures" -eq 0 ] || exit 1
echo "manual page covers: $(echo $commands)"
