#!/usr/bin/env bash
# Runs a validator (desktop-file-validate, appstreamcli validate): passes only when it succeeds and
# has nothing to say beyond its success line, so hints and pedantic notes are fixed, not ignored.
set -uo pipefail
out=$("$@" 2>&1)
rc=$?
printf '%s\n' "$out"
if [ "$rc" -ne 0 ]; then
  echo "FAIL: $1 ended with status $rc"
  exit 1
fi
remarks=$(printf '%s\n' "$out" | grep -v -e '^$' -e '^✔ Validation was successful\.$')
if [ -n "$remarks" ]; then
  echo "FAIL: $1 has remarks"
  exit 1
fi
